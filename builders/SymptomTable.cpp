#include "builders/SymptomTable.h"

namespace builders {

const std::array<SymptomBox, kSymptomCount> &symptomBoxes()
{
    static const std::array<SymptomBox, kSymptomCount> boxes = {{
        {"CheckBox1", "咳嗽", 1, 1},      {"CheckBox2", "咳痰", 1, 2},  {"CheckBox3", "咯血", 1, 3},
        {"CheckBox4", "喘憋", 1, 4},      {"CheckBox5", "发热", 1, 5},  {"CheckBox6", "盗汗", 1, 6},
        {"CheckBox7", "胸痛", 1, 7},

        {"CheckBox8", "腹痛", 2, 1},      {"CheckBox14", "腹泻", 2, 2}, {"CheckBox13", "恶心", 2, 3},
        {"CheckBox12", "呕吐", 2, 4},     {"CheckBox11", "返酸", 2, 5}, {"CheckBox10", "烧心", 2, 6},
        {"CheckBox9", "腹胀", 2, 7},

        {"CheckBox15", "嗳气", 3, 1},     {"CheckBox16", "纳差", 3, 2}, {"CheckBox17", "厌油腻", 3, 3},
        {"CheckBox18", "呕血", 3, 4},     {"CheckBox19", "黑便", 3, 5}, {"CheckBox20", "大便干", 3, 6},
        {"CheckBox21", "排便困难", 3, 7},

        {"CheckBox22", "心悸", 4, 1},     {"CheckBox23", "胸闷", 4, 2}, {"CheckBox24", "胸痛", 4, 3},
        {"CheckBox25", "喘憋", 4, 4},     {"CheckBox26", "发热", 4, 5}, {"CheckBox27", "盗汗", 4, 6},
        {"CheckBox28", "咳嗽", 4, 7},

        {"CheckBox29", "头痛", 5, 1},     {"CheckBox30", "头晕", 5, 2}, {"CheckBox31", "晕厥", 5, 3},
        {"CheckBox32", "偏瘫", 5, 4},     {"CheckBox33", "失语", 5, 5}, {"CheckBox34", "盗汗", 5, 6},
        {"CheckBox35", "咳嗽", 5, 7},

        {"CheckBox36", "尿频", 6, 1},     {"CheckBox37", "尿急", 6, 2}, {"CheckBox38", "尿痛", 6, 3},
        {"CheckBox39", "腰痛", 6, 4},     {"CheckBox40", "血尿", 6, 5}, {"CheckBox41", "浮肿", 6, 6},
        {"CheckBox42", "咳嗽", 6, 7},

        {"CheckBox43", "多饮", 7, 1},     {"CheckBox44", "多食", 7, 2}, {"CheckBox45", "多尿", 7, 3},
        {"CheckBox46", "消瘦", 7, 4},     {"CheckBox47", "多汗", 7, 5}, {"CheckBox48", "盗汗", 7, 6},
        {"CheckBox49", "咳嗽", 7, 7},
    }};
    return boxes;
}

} // namespace builders
