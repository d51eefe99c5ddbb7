#pragma once

// Loads Qt's own Simplified Chinese translations (Debian qt6-translations-l10n), so that
// the standard dialogs and the message-box buttons read in Chinese (确定, 取消) whatever
// the desktop's language is. False when they are not installed; the program goes on in
// Qt's English then.
bool loadQtTranslations();
