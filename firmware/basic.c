int basic_version(void) { return 1; }
