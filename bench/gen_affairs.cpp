// gen_affairs DATABASE REMINDFILE COUNT [SEED]
//
// Appends COUNT affairs to table mp of DATABASE (a copy of the seed) as the
// editor stores them, spread evenly over the six schedule kinds, and writes
// the same affairs as a reminder file for the Unix `remind` program, so that
// both can be asked what is due on one day. The same seed gives the same book.
//
// The reminder file uses, per kind:
//   one day          REM 2026-12-06 MSG ...
//   period           REM 2026-12-01 *1 UNTIL 2026-12-31 MSG ...
//   month of a year  REM Dec MSG ...          (every day of that month)
//   weekday          REM Sun MSG ...
//   day of a month   REM 6 MSG ...
//   month and day    REM Dec 6 MSG ...
// Line breaks of the stored text become remind's %_ in the message.

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace {

const char* const kPhrases[] = {
    "下午三点在三楼会议室召开部门例会",
    "记得带上上季度的销售报表",
    "给王经理回电话确认合同细节",
    "孩子学校开家长会",
    "交物业费和水电费",
    "去银行办理信用卡还款",
    "预约牙医复查",
    "准备项目验收材料并打印两份",
    "和客户讨论新版方案的报价",
    "老同学聚会，地点待定",
    "父母结婚纪念日，订好餐厅",
    "体检报告出来了，去医院取",
    "更新电脑上的杀毒软件",
    "整理书房里的旧杂志",
    "车辆年检，带上行驶证和保险单",
    "给李老师寄生日贺卡",
    "参加周末的读书分享会",
    "提交年度个人所得税申报",
    "检查家里的燃气阀门",
    "续订报纸和杂志",
    "把借来的书还给图书馆",
    "准备出差用的火车票和酒店",
    "部门培训，主题是时间管理",
    "给花园里的月季浇水施肥",
    "去超市买米、油和蔬菜",
    "网上缴纳宽带费",
    "和装修师傅约好量房时间",
    "复印身份证和户口本",
    "英语口语课，第十二单元",
    "打扫厨房，清洗抽油烟机",
    "朋友婚礼，准备红包",
    "季度总结会，每人发言五分钟",
    "核对本月的报销单据",
    "给奶奶打电话问候身体",
};
const char* const kPunctuation[] = {"，", "。", "；", "！"};
const char* const kPeople[] = {"张伟", "王芳", "李娜", "刘洋", "陈静", "杨光", "赵磊", "黄敏"};
const char* const kPlaces[] = {"会议室",   "公司总部", "人民公园",  "市图书馆",
                               "中心医院", "火车站",   "老地方茶馆"};
const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const kWeekdays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

// Counts UTF-8 characters, not bytes.
size_t characters(std::string_view text)
{
    size_t n = 0;
    for (unsigned char c : text)
        n += (c & 0xC0) != 0x80;
    return n;
}

struct Day {
    int year, month, day;
};

int daysInMonth(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

Day addDays(Day d, int n)
{
    while (n-- > 0) {
        if (++d.day > daysInMonth(d.year, d.month)) {
            d.day = 1;
            if (++d.month > 12) {
                d.month = 1;
                ++d.year;
            }
        }
    }
    return d;
}

std::string iso(const Day& d)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", d.year, d.month, d.day);
    return buffer;
}

std::string shortDate(const Day& d)
{
    return std::to_string(d.year) + "-" + std::to_string(d.month) + "-" + std::to_string(d.day);
}

struct Affair {
    std::string stored;
    std::string keyword;
    std::string timePoint, start, end;                 // ISO or empty (null)
    std::string month, weekday = "100", day, monthDay; // as the editor writes them
    std::string contact, place, mobile;                // empty: null
    std::string lunarYearly, lunarMonthly; // 农历每年/每月时间, empty when unset
    std::string remind;                    // the REM line
};

const char* const kLunarMonths[] = {"正", "二", "三", "四", "五", "六",
                                    "七", "八", "九", "十", "冬", "腊"};
const char* const kLunarDays[] = {"初一", "初二", "初三", "初四", "初五", "初六", "初七", "初八",
                                  "初九", "初十", "十一", "十二", "十三", "十四", "十五", "十六",
                                  "十七", "十八", "十九", "二十", "廿一", "廿二", "廿三", "廿四",
                                  "廿五", "廿六", "廿七", "廿八", "廿九", "三十"};

class Generator {
public:
    explicit Generator(unsigned seed) : m_random(seed) {}

    // `lunar`: also a lunar yearly or monthly schedule (remind has none).
    Affair next(int kind, bool lunar = false)
    {
        Affair a;
        const Day base = addDays(Day{2026, 1, 1}, pick(730));
        std::string summary;
        std::string when;
        switch (kind) {
        case 0:
            a.timePoint = iso(base);
            summary += "时间点：" + shortDate(base) + "  ";
            when = iso(base);
            break;
        case 1: {
            const Day until = addDays(base, 1 + pick(60));
            a.start = iso(base);
            a.end = iso(until);
            summary += "起始时间：" + shortDate(base) + "  结束时间：" + shortDate(until) + "  ";
            when = iso(base) + " *1 UNTIL " + iso(until);
            break;
        }
        case 2:
            a.month = std::to_string(1 + pick(12));
            summary += "每月时间：" + a.month + "  ";
            when = kMonths[std::stoi(a.month) - 1];
            break;
        case 3:
            a.weekday = std::to_string(pick(7));
            summary += "每周时间：" + a.weekday + "  ";
            when = kWeekdays[std::stoi(a.weekday)];
            break;
        case 4:
            a.day = std::to_string(1 + pick(31));
            summary += "每日时间：" + a.day + "  ";
            when = a.day;
            break;
        default:
            a.monthDay = std::to_string(base.month) + "-" + std::to_string(base.day);
            summary += "每月每日时间：" + a.monthDay + "  ";
            when = std::string(kMonths[base.month - 1]) + " " + std::to_string(base.day);
            break;
        }
        if (lunar && pick(2) == 0) {
            const int month = 1 + pick(12), day = 1 + pick(30);
            a.lunarYearly = std::to_string(month) + "-" + std::to_string(day);
            summary += "农历每年时间：" + std::string(kLunarMonths[month - 1]) + "月" +
                       kLunarDays[day - 1] + "  ";
        } else if (lunar) {
            const int day = 1 + pick(30);
            a.lunarMonthly = std::to_string(day);
            summary += "农历每月时间：" + std::string(kLunarDays[day - 1]) + "  ";
        }
        if (pick(2) == 0) {
            a.contact = kPeople[pick(std::size(kPeople))];
            summary += "联系人：" + a.contact + "  ";
        }
        if (pick(3) == 0) {
            a.place = kPlaces[pick(std::size(kPlaces))];
            summary += "联系地点：" + a.place + "  ";
        }
        if (pick(4) == 0) {
            a.mobile = "13" + std::to_string(100000000 + pick(900000000));
            summary += "联系人手机：" + a.mobile + "  ";
        }
        if (pick(5) == 0) a.keyword = pick(2) ? "工作" : "家庭";

        const std::string text = body(50 + pick(251));
        a.stored = summary + " ---标记\r\n" + text + "\r\n" + std::string(88, '-');
        a.remind = "REM " + when + " MSG " + summary + " ---标记%_" + text + "%_" +
                   std::string(88, '-') + "\n";
        return a;
    }

private:
    int pick(size_t n) { return int(std::uniform_int_distribution<size_t>(0, n - 1)(m_random)); }

    // Whole phrases and punctuation until the wanted length is reached.
    std::string body(size_t wanted)
    {
        std::string text;
        size_t length = 0;
        while (length < wanted) {
            const std::string_view phrase = kPhrases[pick(std::size(kPhrases))];
            text += phrase;
            text += kPunctuation[pick(std::size(kPunctuation))];
            length += characters(phrase) + 1;
        }
        return text;
    }

    std::mt19937 m_random;
};

void check(int rc, sqlite3* db, const char* what)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE) {
        std::fprintf(stderr, "gen_affairs: %s: %s\n", what, sqlite3_errmsg(db));
        std::exit(1);
    }
}

void bindText(sqlite3_stmt* statement, int slot, const std::string& value, bool emptyIsNull)
{
    sqlite3* db = sqlite3_db_handle(statement);
    if (emptyIsNull && value.empty())
        check(sqlite3_bind_null(statement, slot), db, "bind");
    else
        check(sqlite3_bind_text(statement, slot, value.data(), int(value.size()), SQLITE_STATIC),
              db, "bind");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: gen_affairs DATABASE REMINDFILE COUNT [SEED [lunar]]\n"
                             "  lunar: every tenth affair also gets a lunar schedule\n");
        return 2;
    }
    const long count = std::atol(argv[3]);
    const unsigned seed = argc > 4 ? unsigned(std::atol(argv[4])) : 20261206u;
    const bool lunar = argc > 5 && std::string_view(argv[5]) == "lunar";

    sqlite3* db = nullptr;
    if (sqlite3_open_v2(argv[1], &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "gen_affairs: cannot open %s: %s\n", argv[1], sqlite3_errmsg(db));
        return 1;
    }
    std::FILE* remind = std::fopen(argv[2], "w");
    if (!remind) {
        std::perror(argv[2]);
        return 1;
    }

    check(sqlite3_exec(db, "PRAGMA synchronous=OFF; BEGIN", nullptr, nullptr, nullptr), db,
          "begin");
    sqlite3_stmt* insert = nullptr;
    check(
        sqlite3_prepare_v2(db,
                           "insert into mp (要事, 要事关键字, 时间点, 起始时间, 结束时间, 联系人, "
                           "联系地点, 联系人手机, 每月时间, 每周时间, 每日时间, 每月每日时间, "
                           "农历每年时间, 农历每月时间) values (?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                           -1, &insert, nullptr),
        db, "prepare");
    Generator generator(seed);
    for (long i = 0; i < count; ++i) {
        const Affair a = generator.next(int(i % 6), lunar && i % 10 == 9);
        bindText(insert, 1, a.stored, false);
        bindText(insert, 2, a.keyword, true);
        bindText(insert, 3, a.timePoint, true);
        bindText(insert, 4, a.start, true);
        bindText(insert, 5, a.end, true);
        bindText(insert, 6, a.contact, true);
        bindText(insert, 7, a.place, true);
        bindText(insert, 8, a.mobile, true);
        bindText(insert, 9, a.month, false);
        bindText(insert, 10, a.weekday, false);
        bindText(insert, 11, a.day, false);
        bindText(insert, 12, a.monthDay, false);
        bindText(insert, 13, a.lunarYearly, false);
        bindText(insert, 14, a.lunarMonthly, false);
        check(sqlite3_step(insert), db, "insert");
        sqlite3_reset(insert);
        std::fputs(a.remind.c_str(), remind);
    }
    sqlite3_finalize(insert);
    check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db, "commit");
    sqlite3_close(db);
    return std::fclose(remind) == 0 ? 0 : 1;
}
