#include "NumericKeyFilter.h"

// Placeholder until the filter's rules are written: passes every key on.
int NumericKeyFilter(NumericBox &box, int key, int maxLength, int, int alignment, int, bool, QString *)
{
    box.maxLength = maxLength;
    box.alignment = alignment > 2 ? 0 : alignment;
    return key;
}
