-- The seven tables of rmd.mdb. Text compares case-insensitively, as users
-- expect of names and keywords; the password alone is compared exactly.
-- Date columns hold ISO text ("2026-12-06" or "2026-12-06 08:30:00"), so that
-- comparing text compares dates; DATETEXT keeps text affinity and lets the
-- store recognise them.

CREATE TABLE ma (
    mm      TEXT COLLATE BINARY,
    zdtxsw  TEXT COLLATE NOCASE
);

CREATE TABLE mp (
    要事         TEXT COLLATE NOCASE,
    要事关键字    TEXT COLLATE NOCASE,
    时间点       DATETEXT CHECK (时间点 IS NULL OR 时间点 GLOB '[0-9][0-9][0-9][0-9]-[0-1][0-9]-[0-3][0-9]' OR 时间点 GLOB '[0-9][0-9][0-9][0-9]-[0-1][0-9]-[0-3][0-9] [0-2][0-9]:[0-5][0-9]:[0-5][0-9]'),
    起始时间      DATETEXT CHECK (起始时间 IS NULL OR 起始时间 GLOB '[0-9][0-9][0-9][0-9]-[0-1][0-9]-[0-3][0-9]' OR 起始时间 GLOB '[0-9][0-9][0-9][0-9]-[0-1][0-9]-[0-3][0-9] [0-2][0-9]:[0-5][0-9]:[0-5][0-9]'),
    结束时间      DATETEXT CHECK (结束时间 IS NULL OR 结束时间 GLOB '[0-9][0-9][0-9][0-9]-[0-1][0-9]-[0-3][0-9]' OR 结束时间 GLOB '[0-9][0-9][0-9][0-9]-[0-1][0-9]-[0-3][0-9] [0-2][0-9]:[0-5][0-9]:[0-5][0-9]'),
    联系人       TEXT COLLATE NOCASE,
    联系地点      TEXT COLLATE NOCASE,
    家庭住址      TEXT COLLATE NOCASE,
    联系人手机    TEXT COLLATE NOCASE,
    联系人电话    TEXT COLLATE NOCASE,
    每月时间      TEXT COLLATE NOCASE,
    每周时间      TEXT COLLATE NOCASE,
    每日时间      TEXT COLLATE NOCASE,
    每月每日时间  TEXT COLLATE NOCASE,
    农历每年时间  TEXT COLLATE NOCASE DEFAULT '',
    农历每月时间  TEXT COLLATE NOCASE DEFAULT ''
);

-- Lets the start-up due list judge every affair from this small index and
-- read only the texts of the affairs that are due.
CREATE INDEX mp_schedule ON mp (时间点, 起始时间, 结束时间, 每日时间, 每月时间, 每周时间, 每月每日时间, 农历每年时间, 农历每月时间);

CREATE TABLE tp (
    图片名称 TEXT COLLATE NOCASE
);

CREATE TABLE bjyy (
    闹钟音乐 TEXT COLLATE NOCASE,
    背景音乐 TEXT COLLATE NOCASE,
    外部     TEXT COLLATE NOCASE
);

CREATE TABLE foxcjdc (
    超级单词 TEXT COLLATE NOCASE,
    关键字   TEXT COLLATE NOCASE,
    中文     TEXT COLLATE NOCASE,
    英文     TEXT COLLATE NOCASE,
    图片名称 TEXT COLLATE NOCASE
);

CREATE TABLE qqzx (
    外部 TEXT COLLATE NOCASE,
    说明 TEXT COLLATE NOCASE,
    分类 TEXT COLLATE NOCASE,
    关键字 TEXT COLLATE NOCASE
);

CREATE TABLE wblb (
    外部 TEXT COLLATE NOCASE,
    说明 TEXT COLLATE NOCASE,
    分类 TEXT COLLATE NOCASE,
    关键字 TEXT COLLATE NOCASE
);

INSERT INTO ma (mm, zdtxsw) VALUES ('6158', '');
INSERT INTO tp (图片名称) VALUES ('1123');
