// Writes the three spreadsheet templates the reminder window prints through:
// a title, a heading in row 3, and a wide, wrapping column B that the program
// fills from row 4.
#include <QDir>
#include <QFile>
#include <QString>

#include <xlsxwriter.h>
#include <zip.h>

#include <cstdio>

namespace {

struct Template {
    const char* file;
    const char* title;
};

const Template kTemplates[] = {
    {"mhxzsw.xltx", "选中事务打印清单"},
    {"mhzdsw.xltx", "自动提醒事务打印清单"},
    {"mhqbsw.xltx", "所有重要事务打印清单"},
};

bool writeWorkbook(const QString& path, const Template& t)
{
    lxw_workbook* book = workbook_new(QFile::encodeName(path).constData());
    if (!book) return false;
    lxw_doc_properties properties{};
    properties.title = const_cast<char*>(t.title);
    workbook_set_properties(book, &properties);

    lxw_worksheet* sheet = workbook_add_worksheet(book, "清单");

    lxw_format* title = workbook_add_format(book);
    format_set_bold(title);
    format_set_font_size(title, 16);
    format_set_align(title, LXW_ALIGN_CENTER);
    format_set_align(title, LXW_ALIGN_VERTICAL_CENTER);

    lxw_format* heading = workbook_add_format(book);
    format_set_bold(heading);
    format_set_bottom(heading, LXW_BORDER_THIN);
    format_set_bg_color(heading, 0xE8E8E8);

    // Lines go into column B one per row; long ones wrap instead of running off the page.
    lxw_format* line = workbook_add_format(book);
    format_set_text_wrap(line);
    format_set_align(line, LXW_ALIGN_VERTICAL_TOP);

    worksheet_set_column(sheet, 0, 0, 3, nullptr);
    worksheet_set_column(sheet, 1, 1, 100, line);
    worksheet_set_row(sheet, 0, 30, nullptr);
    worksheet_merge_range(sheet, 0, 0, 0, 1, t.title, title);
    worksheet_write_blank(sheet, 2, 0, heading);
    worksheet_write_string(sheet, 2, 1, "事务内容", heading);
    worksheet_freeze_panes(sheet, 3, 0);

    worksheet_set_paper(sheet, 9); // A4
    worksheet_set_portrait(sheet);
    worksheet_set_margins(sheet, 0.5, 0.5, 0.75, 0.75);
    worksheet_center_horizontally(sheet);
    worksheet_fit_to_pages(sheet, 1, 0);
    worksheet_repeat_rows(sheet, 2, 2);
    worksheet_set_footer(sheet, "&C第 &P 页，共 &N 页");

    return workbook_close(book) == LXW_NO_ERROR;
}

// libxlsxwriter writes workbooks; a template must say it is one, or
// spreadsheet programs refuse a file named .xltx.
bool markAsTemplate(const QString& path)
{
    const QByteArray name = "[Content_Types].xml";
    int error = 0;
    zip_t* zip = zip_open(QFile::encodeName(path).constData(), 0, &error);
    if (!zip) return false;
    zip_stat_t stat;
    zip_file_t* file = nullptr;
    QByteArray types;
    if (zip_stat(zip, name.constData(), 0, &stat) == 0 &&
        (file = zip_fopen(zip, name.constData(), 0))) {
        types.resize(qsizetype(stat.size));
        if (zip_fread(file, types.data(), stat.size) != zip_int64_t(stat.size)) types.clear();
        zip_fclose(file);
    }
    const QByteArray workbook =
        "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml";
    if (!types.contains(workbook)) {
        zip_discard(zip);
        return false;
    }
    types.replace(workbook,
                  "application/vnd.openxmlformats-officedocument.spreadsheetml.template.main+xml");
    zip_source_t* source = zip_source_buffer(zip, types.constData(), zip_uint64_t(types.size()), 0);
    if (!source || zip_file_add(zip, name.constData(), source, ZIP_FL_OVERWRITE) < 0) {
        zip_source_free(source);
        zip_discard(zip);
        return false;
    }
    return zip_close(zip) == 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_templates <folder>\n");
        return 2;
    }
    const QString folder = QFile::decodeName(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "make_templates: cannot create %s\n", argv[1]);
        return 1;
    }
    for (const Template& t : kTemplates) {
        const QString path = folder + u'/' + QLatin1String(t.file);
        const QString partial = path + QStringLiteral(".part");
        QFile::remove(partial);
        if (!writeWorkbook(partial, t) || !markAsTemplate(partial) ||
            (QFile::exists(path) && !QFile::remove(path)) || !QFile::rename(partial, path)) {
            QFile::remove(partial);
            std::fprintf(stderr, "make_templates: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
