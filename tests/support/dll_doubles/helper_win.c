/* A DLL that a test runtime's jvm.dll imports, as a real one imports the C runtime that lies in
 * its bin folder. Builds with different identities tell which copy the loader picked. */
__declspec(dllexport) int jvmHelperIdentity(void) { return HELPER_IDENTITY; }
