#include "customproperties.h"

// Out of line so the class has one type identity across the libraries (dynamic_cast).
TCustomProperties::~TCustomProperties() = default;

void TCustomProperties::BeginRead() {}

void TCustomProperties::EndRead() {}
