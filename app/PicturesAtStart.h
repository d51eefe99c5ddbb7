#pragma once
#include "pictures/PicturePlace.h"

#include <functional>
#include <memory>

class PatientStoreInterface;

namespace startup {

// Where the patients' pictures are kept, chosen with the store: on the ward's server when the
// records are there, so that every desktop sees the same pictures; otherwise in the desktop's
// folders data/images/<number>-<name>. currentStore gives the open store at each use.
std::unique_ptr<PicturePlace> openPictures(PatientStoreInterface *store,
                                           std::function<PatientStoreInterface *()> currentStore);

} // namespace startup
