// Linked with one library whole and only what that library links: the link
// fails when the library calls into a folder it does not depend on.
int main() { return 0; }
