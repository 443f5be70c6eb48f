/* A library that loads but holds none of the bridge library's functions. */
int notKsthid(void) { return 0; }
