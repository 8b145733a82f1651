// Fontconfig keeps a cache that Qt's font database never frees; it is not ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
