#include "books/BookConfig.h"

namespace books {

const BookConfig& documentBook()
{
    static const BookConfig config{
        QStringLiteral("yycxlb"),
        QStringLiteral("wblb"),
        QStringLiteral("应用程序、文档、图片、音乐、课件等分类列表"),
        QStringLiteral("各类文件分类"),
        QStringLiteral("文件作用、性质具体描述"),
        {
            {QStringLiteral("List1"), QStringLiteral("单击某项显示有关信息，双击某项则打开该文件")},
            {QStringLiteral("Image1"),
             QStringLiteral("将应用程序、文档、图片、音乐、课件等加入列表")},
            {QStringLiteral("Image2"), QStringLiteral("选定文件的分类和具体描述设置")},
            {QStringLiteral("dcsc"), QStringLiteral("删除文件列表中的文件链接，文件并没有删除")},
            {QStringLiteral("zwcz"),
             QStringLiteral("根据文件具体描述部分连续字符智能任意查找文件")},
            {QStringLiteral("Image6"),
             QStringLiteral("根据文件具体描述部分字符超强万能任意查找文件")},
            {QStringLiteral("Image7"), QStringLiteral("清空文件作用、性质具体描述")},
        },
        {
            {QStringLiteral("cxtj"), QStringLiteral("添加文件(&T)"), QStringLiteral("Image1")},
            {QStringLiteral("cxxg"), QStringLiteral("修改描述(&M)"), QStringLiteral("Image2")},
            {QStringLiteral("cxyc"), QStringLiteral("移除文件(&Y)"), QStringLiteral("dcsc")},
            {QStringLiteral("cxcx"), QStringLiteral("查询文件及其它(&C)"), QString()},
            {QStringLiteral("cxybcx"), QStringLiteral("一般查询"), QStringLiteral("zwcz"), true},
            {QStringLiteral("cxgjcx"), QStringLiteral("高级查询"), QStringLiteral("Image6"), true},
            {QStringLiteral("cxxsgjz"), QStringLiteral("显示关键字"), QStringLiteral("Image5"),
             true},
            {QStringLiteral("cxshzgjz"), QStringLiteral("清空描述等信息"), QStringLiteral("Image7"),
             true},
            {QStringLiteral("cxsxwjlb"), QStringLiteral("刷新文年列表"), QStringLiteral("Image4"),
             true},
            {QStringLiteral("cxfh"), QStringLiteral("返回主窗口(&G)"), QStringLiteral("Image3")},
        },
        NameSource::FileDialog,
    };
    return config;
}

const BookConfig& miscellanyBook()
{
    static const BookConfig config{
        QStringLiteral("qqzxcx"),
        QStringLiteral("qqzx"),
        QStringLiteral("分类管理QQ、Email、电话号码、图书、光盘、杂志等等"),
        QStringLiteral("分类"),
        QStringLiteral("信息描述"),
        {
            {QStringLiteral("Text2"),
             QStringLiteral("输入QQ、Email、电话号码、图书、光盘、杂志等名称")},
            {QStringLiteral("Image1"),
             QStringLiteral("将QQ、Email、电话号码、图书、光盘、杂志等名称加入列表")},
            {QStringLiteral("Image2"),
             QStringLiteral("选定QQ、Email、电话号码、图书、光盘、杂志等名称的分类和具体描述设置")},
            {QStringLiteral("dcsc"),
             QStringLiteral("删除列表中的QQ、Email、电话号码、图书、光盘、杂志等名称")},
            {QStringLiteral("zwcz"),
             QStringLiteral("根据具体信息描述部分连续字符智能任意查找QQ、Email、电话号码、图书、"
                            "光盘、杂志等名称")},
            {QStringLiteral("Image6"),
             QStringLiteral("根据具体信息描述部分字符超强万能任意查找QQ、Email、电话号码、图书、"
                            "光盘、杂志等名称")},
            {QStringLiteral("Image7"), QStringLiteral("信息描述等")},
        },
        {
            {QStringLiteral("zstj"), QStringLiteral("添加杂事"), QStringLiteral("Image1")},
            {QStringLiteral("zsxg"), QStringLiteral("修改杂事"), QStringLiteral("Image2")},
            {QStringLiteral("zssc"), QStringLiteral("删除杂事"), QStringLiteral("dcsc")},
            {QStringLiteral("zscx"), QStringLiteral("查询杂事"), QString()},
            {QStringLiteral("zslxzfcx"), QStringLiteral("智能连续字符查询"), QStringLiteral("zwcz"),
             true},
            {QStringLiteral("zsgjwy"), QStringLiteral("高级网页式查询"), QStringLiteral("Image6"),
             true},
            {QStringLiteral("zsxsgjz"), QStringLiteral("显示关键字"), QStringLiteral("Image5"),
             true},
            {QStringLiteral("zssx"), QStringLiteral("刷新杂事"), QStringLiteral("Image4"), true},
            {QStringLiteral("zshfzck"), QStringLiteral("返回主窗口"), QStringLiteral("Image3")},
        },
        NameSource::Text2,
    };
    return config;
}

} // namespace books
