// A slow disk for the end-to-end tests, preloaded into the program (LD_PRELOAD): a read of a
// file whose path contains $SLOW_READ_MATCH waits for as long as the file $SLOW_READ_HOLD
// exists. The test holds a long operation this way while it looks at the window.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

ssize_t read(int fd, void* buffer, size_t size) {
    static ssize_t (*real_read)(int, void*, size_t);
    if (real_read == NULL) real_read = (ssize_t(*)(int, void*, size_t))dlsym(RTLD_NEXT, "read");
    const char* match = getenv("SLOW_READ_MATCH");
    const char* hold = getenv("SLOW_READ_HOLD");
    if (match != NULL && hold != NULL) {
        char link[64];
        char path[4096];
        snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
        const ssize_t length = readlink(link, path, sizeof path - 1);
        if (length > 0) {
            path[length] = '\0';
            if (strstr(path, match) != NULL) {
                while (access(hold, F_OK) == 0) usleep(20000);
            }
        }
    }
    return real_read(fd, buffer, size);
}
