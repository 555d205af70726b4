// keep_libraries_loaded.cpp: a dlclose that leaves every library loaded, preloaded into the window
// tests of sanitizer builds only. The leak checker runs at exit and can name, and so suppress,
// only allocations made by libraries still mapped then; GL drivers are otherwise unloaded when
// the display closes.
extern "C" int dlclose(void*) { return 0; }
