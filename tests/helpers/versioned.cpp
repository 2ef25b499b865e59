// Test helper: a program that does nothing and carries a version resource
// (versioned.rc, file version 5.2.3790.0), for reading a file's version.
int main() { return 0; }
