#include "app/PhraseWiring.h"
#include "app/TForm1.h"
#include "phrases/DifferentialBox.h"
#include "phrases/DropDownComboBox.h"
#include "phrases/MemoKeys.h"
#include "phrases/MemoLines.h"
#include "phrases/PhraseFields.h"
#include "phrases/PhraseInsertion.h"
#include "phrases/TemplateEditor.h"
#include "records/ColumnTable.h"
#include "records/DBComboBox.h"
#include "records/DBEdit.h"
#include "records/DBMemo.h"
#include "records/ErrorBox.h"
#include "records/RecordSession.h"
#include "text/SharedValues.h"

namespace {

void connectFieldDoubleClicks(TForm1 &form)
{
    TemplateEditor *editor = form.templateEditor();
    for (const phrases::PhraseField &field : phrases::phraseFields()) {
        const QString key = QString::fromLatin1(field.targetKey);
        const QString file = QString::fromLatin1(field.fileName);
        auto open = [editor, key, file] { runHandler([&] { editor->OpenPhraseFile(key, file); }); };
        QWidget *control = form.findChild<QWidget *>(QString::fromLatin1(field.control));
        if (auto *memo = qobject_cast<DBMemo *>(control))
            QObject::connect(memo, &DBMemo::doubleClicked, editor, open);
        else if (auto *edit = qobject_cast<DBEdit *>(control))
            QObject::connect(edit, &DBEdit::doubleClicked, editor, open);
        else if (auto *combo = qobject_cast<DBComboBox *>(control))
            QObject::connect(combo, &DBComboBox::doubleClicked, editor, open);
    }
}

void connectPhraseInsertion(TForm1 &form)
{
    RecordSession *session = form.session();
    QObject::connect(form.templateEditor(), &TemplateEditor::phraseChosen, &form, [session](const QString &line) {
        runHandler([&] {
            const QString key = text::shared().phraseTarget;
            const phrases::PhraseField *field = phrases::fieldByTargetKey(key);
            if (!field)
                return; // no field has opened the editor yet
            const int column = columns::indexOf(QString::fromLatin1(field->column));
            session->edit();
            const std::optional<QString> updated = phrases::insertPhrase(key, line, session->value(column));
            if (updated)
                session->fill(column, *updated);
        });
    });
}

void connectMemoKeys(TForm1 &form, const std::function<void(const QString &)> &openBuilder)
{
    RecordSession *session = form.session();
    for (const phrases::MemoKeyField &field : phrases::memoKeyFields()) {
        auto *memo = form.findChild<DBMemo *>(QString::fromLatin1(field.control));
        const QString builder = field.builder ? QString::fromLatin1(field.builder) : QString();
        QObject::connect(memo, &DBMemo::keyReleased, memo,
                         [session, memo, builder, openBuilder](int key, Qt::KeyboardModifiers modifiers) {
            runHandler([&] {
                const phrases::MemoKeyCommand command =
                    phrases::memoKeyCommand(!builder.isEmpty(), key, modifiers);
                // Moving about in an archived record's memo is no change and says nothing.
                if (command == phrases::MemoKeyCommand::None && !session->isWritable())
                    return;
                session->edit();
                switch (command) {
                case phrases::MemoKeyCommand::OpenBuilder:
                    openBuilder(builder);
                    break;
                case phrases::MemoKeyCommand::DeleteLine: {
                    const QString stored = memo->storedText();
                    const qsizetype caret = memo->storedCaretPosition();
                    const phrases::LineSpan line = phrases::lineAt(stored, caret);
                    session->fill(memo->column(), phrases::deleteCaretLine(stored, caret));
                    // The caret stays where the deleted line began.
                    QTextCursor cursor = memo->textCursor();
                    const QString before = DBMemo::toShown(stored.left(line.begin));
                    cursor.setPosition(std::min<int>(before.size(), memo->document()->characterCount() - 1));
                    memo->setTextCursor(cursor);
                    break;
                }
                case phrases::MemoKeyCommand::None:
                    break;
                }
            });
        });
    }
}

void connectDifferentials(TForm1 &form)
{
    RecordSession *session = form.session();
    auto *box = form.findChild<DropDownComboBox *>(QStringLiteral("ComboBox4"));
    auto *differentials = new DifferentialBox(box, form.templateEditor(), &form);
    differentials->setSectionReceiver([session](const QString &section) {
        session->edit();
        session->fill(QStringLiteral("Pripro2"), section);
    });
}

} // namespace

void connectPhraseLibrary(TForm1 &form, const std::function<void(const QString &)> &openBuilder)
{
    connectFieldDoubleClicks(form);
    connectPhraseInsertion(form);
    connectMemoKeys(form, openBuilder);
    connectDifferentials(form);
}
