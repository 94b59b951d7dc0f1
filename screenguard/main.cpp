// The screen guard: started by the tray program with one end of a socket as its standard input
// and the path of the screen's restore record as its argument. It sleeps in read() until the
// program either says the screen is back (one byte "R") or ends without saying so (end of the
// stream), in which case it puts the recorded ramps back. Either way it then ends.
#include <cerrno>

#include <unistd.h>

#include "screenrestore.h"

int main(int argc, char* argv[])
{
    if (argc != 2)
        return 2;
    char word = 0;
    ssize_t got = 0;
    do {
        got = read(STDIN_FILENO, &word, 1);
    } while (got < 0 && errno == EINTR);
    if (got == 1 && word == 'R')
        return 0;
    ScreenRestore::Restore(argv[1]);
    return 0;
}
