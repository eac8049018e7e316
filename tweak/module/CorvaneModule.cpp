// The tweak library as a loadable module. Its parts come in whole from their static libraries;
// loading the module runs their load-time routines (the colour-name cache is made then).
