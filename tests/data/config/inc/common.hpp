// Included by valid.ext; its macros are known after the #include.
#define SHARED_VALUE 1
showGPS = SHARED_VALUE;
