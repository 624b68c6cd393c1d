// A program whose version resource has no "SpecialBuild" string; the tests read its version.
int main()
{
    return 0;
}
