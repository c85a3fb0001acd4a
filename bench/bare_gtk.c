/* A GTK 3 program that starts and ends without a window: what every GTK 3
 * process pays for the modules that GTK_MODULES names. At exit it prints
 * its peak resident memory, its processor time and each shared library it
 * has mapped. */
#include <gtk/gtk.h>
#include <stdio.h>
#include <string.h>
#include <sys/resource.h>

int main(int argc, char **argv) {
    gtk_init(&argc, &argv);
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    printf("peak-rss-kib %ld\n", usage.ru_maxrss);
    printf("cpu-us %ld\n", (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000000L + usage.ru_utime.tv_usec +
                               usage.ru_stime.tv_usec);
    FILE *maps = fopen("/proc/self/maps", "r");
    char line[4096];
    while (maps != NULL && fgets(line, sizeof line, maps) != NULL) {
        const char *path = strchr(line, '/');
        if (path != NULL && strstr(path, ".so") != NULL) printf("mapped %s", path);
    }
    if (maps != NULL) fclose(maps);
    return 0;
}
