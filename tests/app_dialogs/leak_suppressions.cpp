// Fontconfig keeps what it parsed of its configuration until the process
// ends; the leak checker would count that against every run that loads the
// font database (the Qt widgets of edits, lists and combos do).

extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
