// Test helper: a program with a version resource (versioned.rc, file version 5.2.3790.0).
int main() { return 0; }
