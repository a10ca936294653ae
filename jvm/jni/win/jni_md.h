// Machine-dependent JNI types for Windows builds, used with the platform-neutral jni.h of the
// JDK. JavaSoft's guard name is kept so that only one jni_md.h takes effect.
#ifndef _JAVASOFT_JNI_MD_H_
#define _JAVASOFT_JNI_MD_H_

#define JNIEXPORT __declspec(dllexport)
#define JNIIMPORT __declspec(dllimport)
#define JNICALL __stdcall

// Windows is LLP64: long stays 32 bits in both the 32-bit and the 64-bit data model.
typedef long jint;
typedef long long jlong;
typedef signed char jbyte;

#endif  // _JAVASOFT_JNI_MD_H_
