#pragma once
#include <QString>

namespace documents {

// The file name offered for the report's PDF: the admission number and the patient's
// name joined by "-" (as the picture folders are named), with ".pdf". Characters a
// file name cannot hold ("/" and control characters) become "_"; without either part
// the name is "入院记录.pdf".
QString reportPdfName(const QString &admissionNumber, const QString &name);

} // namespace documents
