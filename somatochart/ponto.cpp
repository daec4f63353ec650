#include "somatochart/ponto.h"

// TPonto is a plain value; this unit anchors it in the library.
