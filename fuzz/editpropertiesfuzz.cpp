#include "components/editimp.h"
#include "fuzz/fuzzentries.h"
#include "fuzz/fuzzsupport.h"

int FuzzEditProperties(const uint8_t *data, size_t size)
{
    EnsureFuzzApplication();
    TEditImp edit;
    FuzzReadProperties(&edit, data, size);
    return 0;
}
