#pragma once

// Identifiers shared by the resource script and the code. Kept free of C++ so that windres can
// include it.

#define IDI_APPLICATION_ICON 1

// Dialog templates.
#define IDD_JRE_NOT_FOUND 201
#define IDD_EXCEPTION 231

// JRE-not-found dialog controls.
#define IDC_JRE_PATH_EDIT 201
#define IDC_BROWSE 202
#define IDC_MESSAGE_TEXT 203
#define IDC_ERROR_ICON 204
#define IDC_DOWNLOAD_LINK 205
#define IDC_BROWSE_HINT 206

// The Java download page the JRE-not-found dialog links to (Oracle's page for end users; it
// forwards to the page in the visitor's language), and the address as the dialog shows it: the
// link's rectangle holds about 18 characters, too few for the whole address.
#define JAVA_DOWNLOAD_URL "https://www.java.com/download/"
#define JAVA_DOWNLOAD_LABEL "java.com/download"

// Exception dialog controls.
#define IDC_EXCEPTION_TEXT 208
#define IDC_EXCEPTION_GROUP 209
#define IDC_EXCEPTION_HEADING 210
#define IDC_EXCEPTION_INSTRUCTION 211
#define IDC_EXCEPTION_WARNING 212

// String table: the launcher's messages.
#define IDS_WINDOWS_EXCEPTION 202
#define IDS_JNI_EXCEPTION 203
#define IDS_JRE_NOT_FOUND_SERVER 206
#define IDS_JRE_NOT_FOUND 207
#define IDS_NO_MODULE_PATH 208
#define IDS_NO_CLASS_PATH 209
#define IDS_NO_MAIN_CLASS 210
#define IDS_MAIN_CLASS_LOAD_FAILED 211
#define IDS_NO_CREATE_JAVA_VM 212
#define IDS_CREATE_JAVA_VM_FAILED 213
#define IDS_BROWSE_FOR_JRE 214
#define IDS_MAIN_CLASS_NOT_FOUND 215
#define IDS_NO_MAIN_METHOD 216
#define IDS_LATEST_VERSION 217
#define IDS_MAXIMUM_VERSION 218
#define IDS_MINIMUM_VERSION 219
#define IDS_EXACT_VERSION 220
#define IDS_VERSION_RANGE 221
#define IDS_JVM_LOAD_FAILED 222
#define IDS_PAIR_START_FAILED 223
#define IDS_JNI_ERR 225
#define IDS_JNI_EDETACHED 226
#define IDS_JNI_EVERSION 227
#define IDS_JNI_ENOMEM 228
#define IDS_JNI_EEXIST 229
#define IDS_JNI_EINVAL 230
#define IDS_PATH_NOT_IN_CODE_PAGE 240
#define IDS_JRE_OTHER_MACHINE 241
#define IDS_WORKING_DIR_FAILED 242
