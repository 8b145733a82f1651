// Fontconfig keeps a cache that Qt's font database never frees, and on the
// xcb platform Qt's D-Bus connection keeps a buffer until exit; neither is ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\nleak:libdbus-1.so\n"; }
