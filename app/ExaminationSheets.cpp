// The two sheets "体格检查": vital signs, general state and the head-and-neck rows on
// the left; chest, heart, vessels, abdomen, spine, limbs and reflexes on the right.
#include "app/FieldFactory.h"
#include "app/TabSheets.h"
#include "records/ColumnTable.h"

#include <QLabel>
#include <QWidget>

namespace tabsheets {

namespace {

// Places a run of labels and fields on one line: a label is a caption, a field is a
// column name with its width.
struct Piece
{
    const char *caption; // nullptr for a field
    const char *column;
    int width;
};

int labelCounter = 210;

QString nextLabelName()
{
    return QStringLiteral("Label%1").arg(labelCounter++);
}

void line(const FieldFactory &fields, QWidget *sheet, int y, std::initializer_list<Piece> pieces)
{
    int x = 8;
    for (const Piece &piece : pieces) {
        if (piece.caption) {
            QLabel *label = FieldFactory::label(nextLabelName(), QString::fromUtf8(piece.caption), sheet, x, y + 3);
            x += label->width() + 2;
        } else {
            fields.field(QString::fromLatin1(piece.column), sheet, QRect(x, y, piece.width, 22));
            x += piece.width + 2;
        }
    }
}

} // namespace

QWidget *examinationLeft(const FieldFactory &fields, RecordSession *session)
{
    auto *sheet = new QWidget;
    sheet->setObjectName(QStringLiteral("TabSheet6"));
    title(QStringLiteral("Label301"), QStringLiteral("体  格  检  查"), sheet, 6);
    line(fields, sheet, 34,
         {{"T：", nullptr, 0}, {nullptr, "T", 44}, {"℃", nullptr, 0}, {"  P：", nullptr, 0}, {nullptr, "P", 40},
          {"次/分", nullptr, 0}, {"  R：", nullptr, 0}, {nullptr, "R", 40}, {"次/分", nullptr, 0},
          {"  BP：", nullptr, 0}, {nullptr, "BP", 70}, {"mmHg", nullptr, 0}});
    line(fields, sheet, 60,
         {{"发育", nullptr, 0}, {nullptr, "development", 64}, {"，营养", nullptr, 0}, {nullptr, "nutrition", 64},
          {"，神志", nullptr, 0}, {nullptr, "consciousness", 64}, {"，精神", nullptr, 0}, {nullptr, "mental", 64},
          {"，", nullptr, 0}});
    line(fields, sheet, 86,
         {{nullptr, "posture", 64}, {"体位，查体", nullptr, 0}, {nullptr, "Cooperation", 76}, {"。", nullptr, 0}});
    navigator("DBNavigator2", session, sheet, 330, 86);

    const char *rows[] = {"skin",    "LN",     "Head", "Brow",  "Eye",     "Lid",    "Conjunctiva", "sclerae",
                          "pupil",   "Ear",    "Nose", "Lip",   "gum",     "tongue", "Throat",      "tonsil",
                          "Neck",    "trachea", "thyroid"};
    int y = 116;
    for (const char *name : rows) {
        const Column &column = columns::byName(QString::fromLatin1(name));
        int labelX = 8;
        if (QLatin1String(name) == QLatin1String("Lip")) {
            QLabel *heading = FieldFactory::label(nextLabelName(), QStringLiteral("口腔："), sheet, 8, y + 3);
            labelX += heading->width();
        }
        FieldFactory::label(nextLabelName(), QString::fromUtf8(column.label), sheet, labelX, y + 3);
        fields.field(QString::fromLatin1(name), sheet, QRect(100, y, 380, 22));
        y += 27;
    }
    return sheet;
}

QWidget *examinationRight(const FieldFactory &fields)
{
    auto *sheet = new QWidget;
    sheet->setObjectName(QStringLiteral("TabSheet2"));
    struct Group
    {
        const char *caption;
        std::initializer_list<const char *> columns;
    };
    const Group groups[] = {
        {"胸部 （视、触、叩、听）：", {"lung1", "lung2", "lung3", "lung4"}},
        {"心脏 （视、触、叩、听）：", {"heart1", "heart2", "heart3", "heart4"}},
        {"外周血管征：", {"BVsign"}},
        {"腹部 （视、触、叩、听）：", {"Abodomen1", "Abodomen2", "Abodomen3", "Abodomen4"}},
        {"肛门及外生殖器：", {"Anal"}},
        {"脊柱：", {"vertcol"}},
        {"四肢：", {"Limbs"}},
        {"神经反射：", {"NSystem"}},
    };
    int y = 6;
    for (const Group &group : groups) {
        FieldFactory::label(nextLabelName(), QString::fromUtf8(group.caption), sheet, 8, y);
        y += 18;
        for (const char *name : group.columns) {
            fields.field(QString::fromLatin1(name), sheet, QRect(8, y, 405, 22));
            y += 25;
        }
        y += 4;
    }
    return sheet;
}

} // namespace tabsheets
