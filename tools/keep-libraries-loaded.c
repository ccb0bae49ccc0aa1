/* Preloaded into the sanitizer runs by tools/sanitize.sh: dlclose does nothing, so every
 * shared library stays loaded until the process ends.
 *
 * libVLC unloads its plugins, and with them the libraries they pulled in, when its last
 * instance is released. Some of those libraries keep blocks allocated by their
 * initialisers for the life of the process; unloaded, they take the only pointers to
 * those blocks with them, and LeakSanitizer reports them as leaks of an
 * "<unknown module>" that no suppression can name. Kept loaded, the blocks stay
 * reachable, while a leak of our own is still found. */
int dlclose(void* handle) {
    (void)handle;
    return 0;
}
