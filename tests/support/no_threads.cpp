// Preloaded (LD_PRELOAD) into a program to make every thread fail to start, as when
// the system has no room for one more (pthread_create gives EAGAIN).
#include <pthread.h>

#include <cerrno>

extern "C" int pthread_create(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*) { return EAGAIN; }
