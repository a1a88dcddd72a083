// Stands in for the programs the designer starts (the deployed runtime and
// the index tool): a host program that ends at once.
int main() { return 0; }
