// Program entry; the start-up and shutdown sequence is being wired in.
int main() { return 0; }
