// A program that does nothing: the update tests read its version resource.
int main() { return 0; }
