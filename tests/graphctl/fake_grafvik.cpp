// Stand-ins for a graph control library that a host must refuse: one that speaks another
// interface version, one that lacks the entry points beyond the version.
extern "C" __attribute__((visibility("default"))) int grafvik_interface_version(void) {
    return FAKE_GRAFVIK_VERSION;
}
