#pragma once
// The browser's file system has no access control lists: a file's list is
// never there (acl_get_fd fails with ENOTSUP) and setting one fails the same
// way, which the editor's file layer already takes as "no list to keep".
#include <errno.h>
#include <sys/types.h>

typedef struct CorvellaAclWeb* acl_t;

static inline acl_t acl_get_fd(int) { errno = ENOTSUP; return nullptr; }
static inline int acl_set_fd(int, acl_t) { errno = ENOTSUP; return -1; }
static inline acl_t acl_from_text(const char*) { errno = ENOTSUP; return nullptr; }
static inline char* acl_to_text(acl_t, ssize_t*) { errno = ENOTSUP; return nullptr; }
static inline int acl_free(void*) { return 0; }
