#include "store/PatientStoreInterface.h"

PatientStoreInterface::~PatientStoreInterface() = default;
