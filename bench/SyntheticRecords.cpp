#include "bench/SyntheticRecords.h"

#include "records/ColumnTable.h"
#include "records/PatientStoreDb.h"

#include <QByteArrayList>

namespace {

QString u(const char *text)
{
    return QString::fromUtf8(text);
}

const std::vector<const char *> illness = {
    "患者%1天前受凉后出现发热，体温最高39.2℃，伴畏寒、寒战，",
    "咳嗽、咳黄白色黏痰，量中等，不易咳出，",
    "无胸痛、咯血，无盗汗、乏力，",
    "于当地诊所应用头孢类抗生素（具体不详）治疗%1天，症状无明显好转，",
    "活动后胸闷、气短，休息后可缓解，夜间不能平卧，需高枕卧位，",
    "双下肢水肿，以午后为著，晨起减轻，",
    "上腹部隐痛不适，进食后加重，伴反酸、嗳气，无呕血、黑便，",
    "头晕、头痛，以枕部为著，自测血压最高180/110mmHg，",
    "心前区压榨样疼痛，向左肩背部放射，持续约%1分钟，含服硝酸甘油后缓解，",
    "多饮、多尿、多食，体重近%1个月下降约5kg，",
    "右侧肢体无力，言语不清，无意识障碍及二便失禁，",
    "今为进一步诊治收入我院。",
    "患者自发病以来，神志清，精神不振，饮食休息欠佳，二便未见显著异常，体重无明显变化。",
    "曾就诊于当地医院，查血常规示白细胞计数升高，胸片示右下肺片状阴影，",
    "间断应用“阿莫西林胶囊、复方甘草片”等药物，症状时轻时重，",
};

const std::vector<const char *> pastHistory = {
    "既往体健，否认肝炎、结核等传染病史，",
    "有高血压病史%1年，最高180/100mmHg，规律口服“硝苯地平缓释片”，血压控制尚可，",
    "有2型糖尿病史%1年，应用“二甲双胍”治疗，血糖控制欠佳，",
    "否认冠心病病史，否认手术、外伤史，",
    "否认输血史，否认药物及食物过敏史，预防接种史随当地。",
    "%1年前因“急性阑尾炎”行阑尾切除术，术后恢复良好，",
};

const std::vector<const char *> personalHistory = {
    "生于原籍，无外地久居史，无疫区、疫水接触史，",
    "吸烟%1年，平均每日20支，未戒烟，",
    "偶有少量饮酒，无其他不良嗜好，",
    "无工业毒物、粉尘及放射性物质接触史，无冶游史。",
    "适龄结婚，配偶及子女体健。",
};

const std::vector<const char *> familyHistory = {
    "父母健在，", "父亲患高血压病，", "母亲患糖尿病，", "兄弟姐妹体健，", "否认家族性遗传病及传染病史。",
};

const std::vector<const char *> auxiliary = {
    "血常规：WBC %1.5×10^9/L，N 82.3%，Hb 128g/L，PLT 215×10^9/L。\r\n",
    "尿常规：蛋白（－），潜血（－），白细胞（－）。\r\n",
    "肝功能：ALT 35U/L，AST 28U/L，TBIL 15.2μmol/L，ALB 38.5g/L。\r\n",
    "肾功能：BUN 6.2mmol/L，Cr 78μmol/L。空腹血糖：%1.8mmol/L。\r\n",
    "心电图：窦性心律，心率83次/分，ST-T改变。\r\n",
    "胸部X线片：右下肺野见斑片状密度增高影，边缘模糊，心影不大。\r\n",
    "腹部B超：肝、胆、胰、脾未见明显异常。\r\n",
};

const std::vector<const char *> diagnoses = {
    "社区获得性肺炎", "高血压病3级（极高危）",      "2型糖尿病", "冠状动脉粥样硬化性心脏病",
    "不稳定型心绞痛", "慢性阻塞性肺疾病急性加重期", "慢性胃炎",  "脑梗死",
    "慢性心力衰竭",
};

const std::vector<const char *> summary = {
    "1、患者%1岁，急性起病，病程短。",
    "2、主因发热、咳嗽、咳痰入院。",
    "3、既往高血压病史多年，血压控制尚可。",
    "4、查体：T 38.5℃，P 96次/分，R 22次/分，BP 140/90mmHg，神志清，精神不振，",
    "右下肺可闻及湿性啰音，心率96次/分，律齐，各瓣膜听诊区未闻及病理性杂音。",
    "腹软，无压痛及反跳痛，肝脾肋下未触及，双下肢无水肿。",
    "5、辅助检查：血常规示白细胞总数及中性粒细胞比例升高，胸片示右下肺炎症。",
};

const std::vector<const char *> differential = {
    "根据患者病史、症状、体征及辅助检查，诊断明确。需与以下疾病相鉴别：",
    "1、肺结核：多有午后低热、盗汗、乏力、消瘦等结核中毒症状，痰中可找到结核杆菌，胸片见病变多位于上叶尖后段"
    "，",
    "本患者无上述表现，暂不支持，可行痰找抗酸杆菌进一步排除。",
    "2、肺癌：多见于中老年吸烟者，可有刺激性咳嗽、痰中带血，抗感染治疗后病灶吸收不明显，",
    "必要时行胸部CT及纤维支气管镜检查以明确。",
    "3、急性肺脓肿：早期临床表现与肺炎相似，随病程进展咳出大量脓臭痰，胸片可见空洞及液平。",
};

const std::vector<const char *> plan = {
    "1、呼吸内科护理常规，二级护理，低盐低脂饮食。",
    "2、完善血常规、尿常规、便常规、肝肾功能、电解质、血脂、血糖、凝血功能、痰培养等检查。",
    "3、予以抗感染、止咳化痰、对症支持治疗。",
    "4、密切观察病情变化，及时调整治疗方案。",
    "5、向患者及家属交代病情，取得理解与配合。",
};

} // namespace

int SyntheticRecords::number(int from, int to)
{
    return std::uniform_int_distribution<int>(from, to)(m_random);
}

const char *SyntheticRecords::pick(std::initializer_list<const char *> choices)
{
    return choices.begin()[number(0, int(choices.size()) - 1)];
}

QString SyntheticRecords::paragraph(const std::vector<const char *> &pool, int length)
{
    QString text;
    while (text.size() < length) {
        QString sentence = u(pool[size_t(number(0, int(pool.size()) - 1))]);
        if (sentence.contains(QLatin1String("%1")))
            sentence = sentence.arg(number(2, 15));
        text += sentence;
    }
    return text;
}

QHash<int, QString> SyntheticRecords::next()
{
    QHash<int, QString> values;
    const auto set = [&values](const char *name, const QString &value) {
        values.insert(columns::indexOf(u(name)), value);
    };
    // Combo boxes get their first offered phrase, as the doctor usually leaves them.
    for (const Column &column : columns::all()) {
        if (!column.offered.isEmpty())
            values.insert(columns::indexOf(u(column.name)), column.offered.first());
    }
    const int bed = number(1, 99);
    set("Bed", number(0, 49) == 0 ? u("加") + QString::number(bed % 9 + 1) : QString::number(bed));
    set("ID", QString::number(number(100000, 999999)));
    set("Name", u(pick({"王", "李", "张", "刘", "陈", "杨", "赵", "黄", "周", "吴"})) +
                    u(pick({"建国", "秀英", "桂兰", "志强", "海燕", "明", "丽", "德福", "玉梅", "国庆"})));
    set("home", u("山东省澄岚市"));
    set("sex", u(pick({"男", "女"})));
    const int age = number(18, 95);
    set("age", QString::number(age));
    const QString date = QStringLiteral("20%1-%2-%3 %4:%5:00")
                             .arg(number(5, 24), 2, 10, QLatin1Char('0'))
                             .arg(number(1, 12), 2, 10, QLatin1Char('0'))
                             .arg(number(1, 28), 2, 10, QLatin1Char('0'))
                             .arg(number(0, 23), 2, 10, QLatin1Char('0'))
                             .arg(number(0, 59), 2, 10, QLatin1Char('0'));
    set("DoA", date);
    set("DoR", date);
    set("tmp18", date);
    set("tmp20", u("汉族"));
    set("marriage", u(pick({"已婚", "未婚"})));
    set("describer", u("患者本人"));
    set("complaint", u(pick({"发热、咳嗽、咳痰%1天", "反复胸闷、气短%1年，加重3天", "头晕、头痛%1天",
                             "上腹部疼痛%1个月", "多饮、多尿%1年"}))
                         .arg(number(2, 10)));
    set("PresentIllness", paragraph(illness, number(250, 500)));
    set("PastHistory", paragraph(pastHistory, number(80, 200)));
    set("PersonalHistory", paragraph(personalHistory, number(60, 150)));
    set("FamilyHistory", paragraph(familyHistory, number(20, 60)));
    set("T", QString::number(36 + number(0, 30) / 10.0, 'f', 1));
    set("P", QString::number(number(60, 120)));
    set("R", QString::number(number(14, 28)));
    set("BP", QStringLiteral("%1/%2").arg(number(100, 180)).arg(number(60, 110)));
    set("fuzhu", paragraph(auxiliary, number(150, 350)));
    QStringList diagnosis;
    for (int i = number(1, 4); i > 0; --i)
        diagnosis << QString::number(diagnosis.size() + 1) + u("、") + u(diagnoses[size_t(number(0, 8))]);
    set("diagnosis", diagnosis.join(QStringLiteral("\r\n")));
    set("PriDiagnosis", diagnosis.first());
    set("Pripro1", u("一、病例特点：\r\n") + paragraph(summary, number(300, 600)));
    set("Pripro2", paragraph(differential, number(250, 500)));
    set("Pripro3", paragraph(plan, number(120, 250)));
    for (const char *flag : {"Boolen01", "Boolen02", "Boolen16", "Boolen17", "Boolen04", "Boolen05",
                             "Boolen06", "Boolen07", "Boolen08"})
        set(flag, number(0, 4) == 0 ? u("True") : u("False"));
    return values;
}

qint64 SyntheticRecords::fill(const QString &path, qint64 count)
{
    sqlite3 *db = storedb::openKeyed(path);
    QByteArrayList names, places;
    const int columnCount = int(columns::all().size());
    for (int i = 0; i < columnCount; ++i) {
        names << QByteArray("\"") + columns::all()[size_t(i)].name + "\"";
        places << "?" + QByteArray::number(i + 1);
    }
    qint64 written = 0;
    {
        storedb::Statement insert(db, "INSERT INTO PatientsData (" + names.join(", ") + ") VALUES (" +
                                          places.join(", ") + ")");
        storedb::exec(db, "BEGIN");
        while (written < count) {
            const QHash<int, QString> values = next();
            for (int i = 0; i < columnCount; ++i)
                insert.bindText(i + 1, values.value(i));
            insert.next();
            insert.reset();
            if (++written % 5000 == 0)
                storedb::exec(db, "COMMIT; BEGIN");
        }
        storedb::exec(db, "COMMIT");
    }
    storedb::closeQuietly(db);
    return written;
}

void SyntheticRecords::fillTrail(const QString &path, qint64 count, qint64 records, qint64 focusId,
                                 int focusCount)
{
    sqlite3 *db = storedb::openKeyed(path);
    try {
        // Generated inside the engine: a million rows bound one by one would take minutes.
        storedb::Statement spread(
            db,
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?1) "
            "INSERT INTO PatientsHistory (RecordId, Bed, ColumnName, OldText, NewText, Operator, ChangedAt) "
            "SELECT (i * 7919) % ?2 + 1, (i % 99) + 1, "
            "CASE i % 4 WHEN 0 THEN 'PresentIllness' WHEN 1 THEN 'age' WHEN 2 THEN 'diagnosis' ELSE 'T' END, "
            "printf('患者咳嗽咳痰%d天，伴发热，最高体温38.%d℃', i % 30, i % 10), "
            "printf('患者咳嗽咳痰%d天，伴发热，最高体温39.%d℃', i % 30, i % 10), "
            "'王建国 主治医师（wjg）', "
            "printf('2026-%02d-%02dT%02d:%02d:%02d+08:00', i % 12 + 1, i % 28 + 1, i % 24, i % 60, i % 60) "
            "FROM n");
        spread.bindInt64(1, count);
        spread.bindInt64(2, records);
        storedb::exec(db, "BEGIN");
        spread.next();
        storedb::Statement focus(db,
                                 "INSERT INTO PatientsHistory (RecordId, Bed, ColumnName, OldText, NewText, "
                                 "Operator, ChangedAt) VALUES (?1, '12', ?2, ?3, ?4, ?5, ?6)");
        const std::vector<const char *> memo = {"患者于入院前3天受凉后出现咳嗽、咳痰，痰为白色黏液痰，",
                                                "伴发热，最高体温39.2℃，无畏寒、寒战，",
                                                "在当地诊所予“头孢类”抗生素治疗2天，症状无明显好转。",
                                                "病程中精神、食欲欠佳，睡眠可，大小便正常，体重无明显变化。"};
        QString text = paragraph(memo, 300);
        for (int i = 0; i < focusCount; ++i) {
            const QString next = paragraph(memo, 300);
            focus.bindInt64(1, focusId);
            focus.bindText(2,
                           QString::fromLatin1(columns::all()[size_t(i % int(columns::all().size()))].name));
            focus.bindText(3, text);
            focus.bindText(4, next);
            focus.bindText(5, QStringLiteral("李明 住院医师（lm）"));
            focus.bindText(6, QStringLiteral("2026-12-%1T08:%2:00+08:00")
                                  .arg(i / 60 % 28 + 1, 2, 10, QLatin1Char('0'))
                                  .arg(i % 60, 2, 10, QLatin1Char('0')));
            focus.next();
            focus.reset();
            text = next;
        }
        storedb::exec(db, "COMMIT");
    } catch (...) {
        storedb::closeQuietly(db);
        throw;
    }
    storedb::closeQuietly(db);
}
