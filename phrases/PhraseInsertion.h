#pragma once
#include <QString>
#include <optional>

namespace phrases {

// The new text of the target field when a phrase line is put into it, or nullopt when
// the key is empty or names none of the nine fields (then nothing may change, not even
// the record's edit state). The line is trimmed (codes 0 to 32 at both ends; the
// full-width blank stays). One-line fields get the phrase as their whole text; memo
// fields get it as a new last line:
//   empty memo               -> phrase + CR LF
//   text ending in a break   -> text + phrase + CR LF
//   any other text           -> text + CR LF + phrase (no final break)
std::optional<QString> insertPhrase(const QString &targetKey, const QString &phraseLine,
                                    const QString &oldText);

} // namespace phrases
