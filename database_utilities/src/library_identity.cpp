// The identity of libVeskPayDBUtilities.so as a host sees it before it creates anything.
extern "C" {

// The type library name and version the database utilities component carries.
__attribute__((visibility("default"))) const char* VeskPayDBUtilitiesTypeLibrary() {
    return "VeskPayDBUtilities 1.0";
}
}
