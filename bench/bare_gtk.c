/* A GTK program that starts and ends without a window, built for GTK 3 and
 * for GTK 4: what every process pays for what GTK loads at its start (GTK 3
 * the modules that GTK_MODULES names, GTK 4 the libraries of its
 * printbackends folders). At exit it prints its peak resident memory, its
 * processor time and each shared library it has mapped. */
#include <gtk/gtk.h>
#include <stdio.h>
#include <string.h>
#include <sys/resource.h>

int main(int argc, char **argv) {
#if GTK_MAJOR_VERSION == 3
    gtk_init(&argc, &argv);
#else
    (void)argc, (void)argv;
    gtk_init();
#endif
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
