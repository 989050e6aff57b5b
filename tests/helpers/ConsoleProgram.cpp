// A program of the console subsystem that does nothing: the shell reports
// such a program with a zero Windows version, which is what the toolbar asks
// when it decides whether a dropped shortcut is kept.
int main()
{
    return 0;
}
