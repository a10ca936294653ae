// A library that only has to be a real PE image of its machine; it is never loaded.
__declspec(dllexport) int tinyLibraryMarker(void) { return 7; }
