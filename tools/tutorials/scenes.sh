# The six scenes of tools/record-tutorials, one function per tutorial text
# of the tutorial window. Each starts the program on a fresh application
# folder, starts the recorder and leaves the program running at its end.
# shellcheck shell=bash

REMINDERS=重要事务提醒

# Logs in on day $1 and waits for the reminder window.
open_reminders()
{
    start_program "$1" rmd
    login
    wait_window "$REMINDERS"
    place_window "$REMINDERS"
}

quit_reminders()
{
    click Command7 "$REMINDERS"
    wait_program_end
}

# An affair as the editor stores it: summary line, marker, text, dash line.
stored_affair()
{
    local summary=$1 text=$2
    printf "'%s ---标记' || char(13,10) || '%s' || char(13,10) || '%s'" "$summary" "$text" \
        "$(printf -- '-%.0s' $(seq 88))"
}

add_affair_row()
{
    local contact=$1 text=$2 keyword=$3
    sql "insert into mp (要事, 要事关键字, 联系人, 每月时间, 每周时间, 每日时间, 每月每日时间)
         values ($(stored_affair "联系人：$contact  " "$text"), '$keyword', '$contact', '', '100', '', '');"
}

tutorial1()
{
    local install=安装数据库或英语语音引擎 i
    timeout 30 spd-say -w -l en "ready" >/dev/null 2>&1 || true
    start_program 2004-05-20 azcsh
    wait_window 操作向导
    start_recording
    caption "教程一：安装初始化，一般只执行一次，或者Lumo无法运行时执行"
    sleep 2.5
    caption "在“操作向导”中按“安装初始化设置”"
    click Command1 操作向导
    wait_window "$install"
    caption "请按顺序依次选中，每次只选中一个"
    point Label1 "$install"
    sleep 2
    local box
    for box in Check1 Check2 Check3 Check4 Check5; do
        caption "选中“$(text_of "$box" "$install")”：检查这一项，结果写在下面"
        click "$box" "$install"
        answer_message
        # A check holds the window until it is done (the map is not written
        # meanwhile) and shows "正在检查……" while it runs.
        sleep 1
        for i in $(seq 200); do
            if [ $(($(date +%s) - $(stat -c %Y "$WORK/map"))) -le 1 ] &&
                [[ "$(text_of reportText "$install")" != *正在检查* ]]; then
                break
            fi
            sleep 0.2
        done
        sleep 2.5
    done
    caption "缺少的部分，提示中写明要安装的软件包和命令"
    point reportText "$install"
    sleep 4
    caption "按“完成设置”，随后启动Lumo，出现登录窗口"
    click Command1 "$install"
    wait_window 登录信息
    sleep 3
    # Cancelling the login ends the organiser that the set-up program started.
    key Escape
}

tutorial2()
{
    start_program 2004-05-20 rmd
    wait_window 登录信息
    start_recording
    caption "教程二：父亲生日是8月23日，要求生日前一天提醒"
    sleep 2
    caption "输入密码，登录Lumo"
    login
    wait_window "$REMINDERS"
    place_window "$REMINDERS"
    caption "先按“清空”，清空所有编辑框"
    click Command3 "$REMINDERS"
    caption "在“重要提醒事务一览表”中写下要提醒的事"
    type_into affairBox "农村老家父亲生日（8月23日），提前准备回家" "$REMINDERS"
    caption "联系人、家庭住址可以一并写上"
    type_into lxr "父亲" "$REMINDERS"
    type_into jtzz "农村老家" "$REMINDERS"
    caption "每月每日时间：用右边的日期选择器选生日前一天，8月22日"
    pick_date DTPicker12 "$REMINDERS" Next Next Next Right Right
    caption "“每月每日时间”框中写入了 8-22：每年8月22日提醒"
    point mymrsj "$REMINDERS"
    sleep 1.5
    caption "关键字写“生日”，以后查找更方便"
    type_into gjz "生日" "$REMINDERS"
    caption "按“追加要事”保存，列表中多了这条事务"
    click Command1 "$REMINDERS"
    sleep 3
    caption "退出Lumo。等到8月22日再打开……"
    quit_reminders
    sleep 1
    start_program 2004-08-22 rmd
    login
    wait_window "$REMINDERS"
    place_window "$REMINDERS"
    caption "2004年8月22日：父亲生日的提醒列在“重要提醒事务一览表”中"
    point Text3 "$REMINDERS"
    sleep 2.5
    point affairBox "$REMINDERS"
    sleep 4
}

tutorial3()
{
    start_program 2004-05-16 rmd
    wait_window 登录信息
    start_recording
    caption "教程三：2004年5月21日开会，5月20日提醒，或者5月19日到22日天天提醒"
    sleep 2
    login
    wait_window "$REMINDERS"
    place_window "$REMINDERS"
    caption "按“清空”，写下会议内容和地点"
    click Command3 "$REMINDERS"
    type_into affairBox "2004年5月21日上午九点，公司三楼会议室开会，带上季度报表" "$REMINDERS"
    type_into lxdd "公司三楼会议室" "$REMINDERS"
    caption "时间点：用日期选择器选提前一天，2004年5月20日"
    pick_date DTPicker1 "$REMINDERS" Right Right Right Right
    caption "时间段：起始时间 2004-5-19，结束时间 2004-5-22，这几天每天提醒"
    pick_date DTPicker2 "$REMINDERS" Right Right Right
    pick_date DTPicker3 "$REMINDERS" Right Right Right Right Right Right
    point jssj "$REMINDERS"
    sleep 1.5
    caption "按“追加要事”保存"
    click Command1 "$REMINDERS"
    sleep 3
    caption "退出Lumo，到5月19日再打开……"
    quit_reminders
    start_program 2004-05-19 rmd
    login
    wait_window "$REMINDERS"
    place_window "$REMINDERS"
    caption "5月19日：在提醒时间段内，会议列在一览表中"
    point affairBox "$REMINDERS"
    sleep 3
    caption "再到5月20日打开……"
    quit_reminders
    start_program 2004-05-20 rmd
    login
    wait_window "$REMINDERS"
    place_window "$REMINDERS"
    caption "5月20日：时间点和时间段都符合，会议提醒列出两次"
    point Text3 "$REMINDERS"
    sleep 1.5
    point affairBox "$REMINDERS"
    sleep 4
}

tutorial4()
{
    add_affair_row 张伟 "张伟新书座谈会，下午三点，图书馆二楼" 座谈会
    add_affair_row 王伟 "请王伟帮忙修电脑" 电脑
    add_affair_row 张丽 "张丽结婚，准备贺礼" 婚礼
    add_affair_row 李明 "李明借去的《三国演义》要还" 借书
    add_affair_row 刘伟华 "和刘伟华一起交房租" 房租
    start_program 2004-05-20 rmd
    wait_window 登录信息
    start_recording
    caption "教程四：在搜索框中输入姓名，查找含有它的全部事务"
    sleep 1.5
    login
    wait_window "$REMINDERS"
    place_window "$REMINDERS"
    caption "具体事务管理一览表中共有五条事务"
    point List1 "$REMINDERS"
    sleep 2
    caption "在搜索框中输入“张伟”"
    type_into searchBox "张伟" "$REMINDERS"
    caption "连续字符查找：按“智能任意查找含连续字符的具体事务”，只找到含“张伟”的事务"
    click_tip Image5 "$REMINDERS"
    sleep 3
    caption "任意字符查找：按“超强万能任意查找具体事务”，含“张”或“伟”的都找到了"
    click_tip Image17 "$REMINDERS"
    sleep 3
    caption "单击列表中的一行，编辑框显示这条事务"
    click 'List1#1' "$REMINDERS"
    sleep 3
    caption "按“刷新”回到全部事务"
    click Command8 "$REMINDERS"
    sleep 2.5
}

VOCABULARY=英语单词、一些英语短语查询、朗读
MISCELLANY=分类管理QQ、Email、电话号码、图书、光盘、杂志等等

# Opens a window from the reminder window's picture button $1 and waits
# for the window titled $2; a message of the window's start (such as a
# speech engine that cannot be used) is answered with Enter.
open_from_reminders()
{
    click_tip "$1" "$REMINDERS"
    wait_window "$2"
    place_window "$2"
    answer_message
}

tutorial5()
{
    # A speech service that starts while the window asks for voices may be
    # too slow on a busy machine: start it (it ends by itself when idle).
    timeout 30 spd-say -w -l en "ready" >/dev/null 2>&1 || true
    start_program 2004-05-20 rmd
    wait_window 登录信息
    start_recording
    caption "教程五：查找含有boo或者中文意义为物理的单词，并且朗读出来"
    sleep 1.5
    login
    wait_window "$REMINDERS"
    place_window "$REMINDERS"
    caption "在事务提醒窗口按“英语单词查找、朗读”按钮"
    open_from_reminders dyld "$VOCABULARY"
    # The window asks the speech service for its voices: wait for the voices,
    # or for the message that says it cannot be used, before going on.
    local i
    for i in $(seq 150); do
        [ -n "$(text_of ComboE "$VOCABULARY")" ] && break
        if awk -F'\t' '$1 == "@window" && $7 == "QMessageBox" { f = 1 } END { exit !f }' \
            "$WORK/map"; then
            sleep 1
            key Return
            break
        fi
        sleep 0.2
    done
    caption "在查找框中输入 boo"
    type_into zw "boo" "$VOCABULARY"
    caption "按“根据中英文部分连续字符智能任意查找英语单词”，列出含boo的单词"
    click_tip zwcz "$VOCABULARY"
    sleep 2.5
    caption "单击一个单词，显示英文和中文意义"
    click 'List1#0' "$VOCABULARY"
    sleep 1.5
    caption "按“朗读英语单词、短语或短文”，读出这个单词"
    point yyld "$VOCABULARY"
    sleep 1.4
    voice "$(text_of RTB "$VOCABULARY")"
    xdotool click 1
    sleep 2.5
    click 'List1#1' "$VOCABULARY"
    sleep 1
    voice "$(text_of RTB "$VOCABULARY")"
    click yyld "$VOCABULARY"
    sleep 2.5
    caption "中文也能查：输入“物理”再查找"
    type_into zw "物理" "$VOCABULARY"
    click_tip zwcz "$VOCABULARY"
    sleep 2.5
    caption "单击单词，再按朗读"
    click 'List1#0' "$VOCABULARY"
    sleep 1
    voice "$(text_of RTB "$VOCABULARY")"
    click yyld "$VOCABULARY"
    sleep 2.5
    click 'List1#1' "$VOCABULARY"
    sleep 1
    voice "$(text_of RTB "$VOCABULARY")"
    click yyld "$VOCABULARY"
    sleep 3
}

tutorial6()
{
    start_program 2004-05-20 rmd
    wait_window 登录信息
    start_recording
    caption "教程六：添加一条杂事信息“flash课件制作计划”，以后随时察看、修改"
    sleep 1.5
    login
    wait_window "$REMINDERS"
    place_window "$REMINDERS"
    caption "在事务提醒窗口按“分类管理QQ、Email、电话号码、图书、光盘、杂志等等”按钮"
    open_from_reminders Image18 "$MISCELLANY"
    caption "输入名称：flash课件制作计划"
    type_into Text2 "flash课件制作计划" "$MISCELLANY"
    caption "写上分类、信息描述和关键字"
    type_into Combo1 "学习计划" "$MISCELLANY"
    type_into Text1 "第一周：收集图片和声音素材；第二周：制作动画；第三周：试讲" "$MISCELLANY"
    type_into gjz "flash" "$MISCELLANY"
    caption "按“将……名称加入列表”按钮，加入这条杂事"
    click_tip Image1 "$MISCELLANY"
    sleep 2.5
    caption "以后随时察看：按“刷新”，单击分类“学习计划”，再单击名称"
    click_tip Image4 "$MISCELLANY"
    sleep 1
    click 'TreeView1#0' "$MISCELLANY"
    sleep 1.5
    click 'List1#0' "$MISCELLANY"
    sleep 2.5
    caption "制作有了进展，就修改信息描述"
    type_into Text1 "第一周：收集图片和声音素材（已完成）；第二周：制作动画；第三周：试讲" "$MISCELLANY"
    caption "按“选定……的分类和具体描述设置”按钮保存修改"
    click_tip Image2 "$MISCELLANY"
    sleep 1.5
    answer_message
    sleep 1
    caption "关闭窗口，以后随时再打开察看，修改都已保存"
    click_tip Image3 "$MISCELLANY"
    sleep 1
    open_from_reminders Image18 "$MISCELLANY"
    click 'TreeView1#0' "$MISCELLANY"
    sleep 1
    click 'List1#0' "$MISCELLANY"
    sleep 3
}
