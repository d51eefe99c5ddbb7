#pragma once
#include <QString>

// The values that live for the whole run outside any window: set once at start-up
// (application folder, caption text) or by the command that owns them.
namespace text {

struct SharedValues
{
    QString applicationFolder; // absolute, ends with one '/'
    QString captionText;       // "Quillcase BetaVersion-0.03.8"
    QString departmentName;    // chosen in the Options dialog, empty until then
    QString phraseTarget;      // field the template editor's phrases go to, empty until set
    int symptomTarget = 0;     // edit of the present-illness builder the symptom picker fills
    // The data folder when it is not data/ under the application folder (an installed
    // program keeps its data in the user's data home); ends with one '/'.
    QString dataFolderPath;
    // The help file when it is not Quillcase.chm in the application folder.
    QString helpFilePath;

    QString dataFolder() const
    {
        return dataFolderPath.isEmpty() ? applicationFolder + QStringLiteral("data/") : dataFolderPath;
    }
    QString helpFile() const
    {
        return helpFilePath.isEmpty() ? applicationFolder + QStringLiteral("/Quillcase.chm") : helpFilePath;
    }
};

SharedValues &shared();

} // namespace text
