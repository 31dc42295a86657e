#include "package/windows_case.h"
#include "platform/gbk.h"

// In a file of its own: the installer needs the folding without the order.
namespace package {

int CompareNames(const char* a, const char* b) {
    for (;;) {
        if (*a == '\0' || *b == '\0') return *a == *b ? 0 : *a == '\0' ? -1 : 1;
        const size_t widthA = gbk::CharWidth(a);
        const size_t widthB = gbk::CharWidth(b);
        const uint32_t x = UpperCharacter(a, widthA);
        const uint32_t y = UpperCharacter(b, widthB);
        if (x != y) return x < y ? -1 : 1;
        a += widthA;
        b += widthB;
    }
}

}  // namespace package
