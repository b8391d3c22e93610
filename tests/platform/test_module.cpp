// A library for the loader's tests: one exported function with a known result.
#ifdef _WIN32
#define ZERED_EXPORT __declspec(dllexport)
#else
#define ZERED_EXPORT __attribute__((visibility("default")))
#endif

extern "C" ZERED_EXPORT int ZeredTestModuleAnswer() { return 42; }
