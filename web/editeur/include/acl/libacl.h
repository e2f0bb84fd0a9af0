#pragma once
// See <sys/acl.h> beside: no lists in the browser's file system.
#include <sys/acl.h>

static inline int acl_equiv_mode(acl_t, mode_t*) { errno = ENOTSUP; return -1; }
