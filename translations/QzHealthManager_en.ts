<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>CAdsWidget</name>
    <message>
        <source>广告</source>
        <translation>Advertisement</translation>
    </message>
    <message>
        <source>关闭广告</source>
        <translation>Close the advertisement</translation>
    </message>
</context>
<context>
    <name>CAutomaticSettings</name>
    <message>
        <source>智能模式设置</source>
        <translation>Smart mode settings</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>按昼夜调节</source>
        <translation>Day and night</translation>
    </message>
    <message>
        <source>按昼夜调节：</source>
        <translation>Day and night:</translation>
    </message>
    <message>
        <source>跟随所在地的日出日落</source>
        <translation>Follow sunrise and sunset where I am</translation>
    </message>
    <message>
        <source>北纬为正，南纬为负</source>
        <translation>North positive, south negative</translation>
    </message>
    <message>
        <source>东经为正，西经为负</source>
        <translation>East positive, west negative</translation>
    </message>
    <message>
        <source>纬度：</source>
        <translation>Latitude:</translation>
    </message>
    <message>
        <source>经度：</source>
        <translation>Longitude:</translation>
    </message>
    <message>
        <source>固定时间</source>
        <translation>Fixed times</translation>
    </message>
    <message>
        <source>夜间从：</source>
        <translation>Night from:</translation>
    </message>
    <message>
        <source>到：</source>
        <translation>to:</translation>
    </message>
    <message>
        <source> 分钟</source>
        <translation> min</translation>
    </message>
    <message>
        <source>渐变时长：</source>
        <translation>Change over:</translation>
    </message>
    <message>
        <source>白天强度：</source>
        <translation>Day strength:</translation>
    </message>
    <message>
        <source>夜间强度：</source>
        <translation>Night strength:</translation>
    </message>
    <message>
        <source>在“智能”模式下生效</source>
        <translation>Applies in Smart mode</translation>
    </message>
    <message>
        <source>使用时区所在城市：%1</source>
        <translation>Use my time zone's city: %1</translation>
    </message>
    <message>
        <source>时区未指明城市，请填写经纬度</source>
        <translation>Your time zone names no city: enter your place</translation>
    </message>
    <message>
        <source>今天太阳整日不落</source>
        <translation>Today the sun does not set</translation>
    </message>
    <message>
        <source>今天太阳整日不升起</source>
        <translation>Today the sun does not rise</translation>
    </message>
    <message>
        <source>今天日出 %1，日落 %2</source>
        <translation>Today: sunrise %1, sunset %2</translation>
    </message>
</context>
<context>
    <name>CBaseManager</name>
    <message>
        <source>最小化</source>
        <translation>Minimise</translation>
    </message>
    <message>
        <source>喝水提醒设置</source>
        <translation>Water reminder settings</translation>
    </message>
    <message>
        <source>防蓝光设置</source>
        <translation>Blue light filter settings</translation>
    </message>
    <message>
        <source>休息提醒设置</source>
        <translation>Rest reminder settings</translation>
    </message>
    <message>
        <source>喝水成绩</source>
        <translation>Water history</translation>
    </message>
    <message>
        <source>立刻喝水</source>
        <translation>Drink now</translation>
    </message>
    <message>
        <source>是否退出Rezovuvove？</source>
        <translation>Quit Rezovuvove?</translation>
    </message>
    <message>
        <source>退出后将失去提醒及防蓝光保护</source>
        <translation>Reminders and the blue light filter stop.</translation>
    </message>
    <message>
        <source>菜单</source>
        <translation>Menu</translation>
    </message>
    <message>
        <source>返回首页</source>
        <translation>Back to the home page</translation>
    </message>
    <message>
        <source>休息正在进行</source>
        <translation>A rest is already going on</translation>
    </message>
    <message>
        <source>全屏休息已设为暂不显示</source>
        <translation>The full-screen rest is set not to show for now</translation>
    </message>
    <message>
        <source>休息开始了</source>
        <translation>Rest started</translation>
    </message>
</context>
<context>
    <name>CBootTip</name>
    <message>
        <source>开机时自动启动Rezovuvove</source>
        <translation>Start Rezovuvove at login</translation>
    </message>
    <message>
        <source>关爱您的健康，让提醒更省心</source>
        <translation>Reminders that care for you</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>CColortempTips</name>
    <message>
        <source>蓝光改变通知</source>
        <translation>Blue light filter notice</translation>
    </message>
    <message>
        <source>防蓝光强度已按时段智能调整！</source>
        <translation>Filter set for the time of day!</translation>
    </message>
    <message>
        <source>您可以在防蓝光界面</source>
        <translation>Not what you want?</translation>
    </message>
    <message>
        <source>重新设置</source>
        <translation>Change</translation>
    </message>
</context>
<context>
    <name>CCommandWords</name>
    <message>
        <source>防蓝光强度应为 0 到 100 的整数：%1</source>
        <translation>The filter strength must be a whole number from 0 to 100: %1</translation>
    </message>
    <message>
        <source>暂停的分钟数应为 1 到 %1 的整数：%2</source>
        <translation>The pause must be a whole number of minutes from 1 to %1: %2</translation>
    </message>
    <message>
        <source>不认识的命令：%1。可用的命令：eye on、eye off、eye N%、eye +N、eye -N、rest now、pause 分钟数、resume、status</source>
        <translation>Unknown command: %1. The commands are: eye on, eye off, eye N%, eye +N, eye -N, rest now, pause MINUTES, resume, status</translation>
    </message>
    <message>
        <source>正在运行的程序没有及时回答</source>
        <translation>The running program did not answer in time</translation>
    </message>
    <message>
        <source>程序没有在运行</source>
        <translation>The program is not running</translation>
    </message>
</context>
<context>
    <name>CCommon</name>
    <message>
        <source>当前桌面不支持调节屏幕颜色</source>
        <translation>This desktop can&apos;t tint the screen</translation>
    </message>
    <message>
        <source>另一个程序正在控制屏幕颜色</source>
        <translation>Another program holds the screen colour</translation>
    </message>
    <message>
        <source>显示器不支持调节屏幕颜色</source>
        <translation>The monitors can&apos;t change colour</translation>
    </message>
</context>
<context>
    <name>CConsiderateGate</name>
    <message>
        <source>正在打字，提醒稍后弹出</source>
        <translation>Typing: the reminder waits a moment</translation>
    </message>
    <message>
        <source>全屏程序在前台，提醒已暂缓</source>
        <translation>Full screen in front: reminders wait</translation>
    </message>
    <message>
        <source>%1 在前台，提醒已暂缓</source>
        <translation>%1 is in front: reminders wait</translation>
    </message>
    <message>
        <source>正在会议中，提醒已暂缓</source>
        <translation>In a meeting: reminders wait</translation>
    </message>
    <message>
        <source>勿扰模式已开启，提醒已暂缓</source>
        <translation>Do Not Disturb is on: reminders wait</translation>
    </message>
    <message>
        <source>有程序让屏幕保持常亮，提醒已暂缓</source>
        <translation>Screen kept awake: reminders wait</translation>
    </message>
    <message>
        <source>你已离开，提醒已暂缓</source>
        <translation>You are away: reminders wait</translation>
    </message>
</context>
<context>
    <name>CCrashReport</name>
    <message>
        <source>程式崩溃</source>
        <translation>Program crashed</translation>
    </message>
    <message>
        <source>&lt;FONT size=4&gt;&lt;div&gt;&lt;b&gt;对于发生的错误，表示诚挚的歉意&lt;/b&gt;&lt;br/&gt;&lt;/div&gt;</source>
        <translation>&lt;FONT size=4&gt;&lt;div&gt;&lt;b&gt;We sincerely apologise for this error.&lt;/b&gt;&lt;br/&gt;&lt;/div&gt;</translation>
    </message>
    <message>
        <source>&lt;div&gt;错误代码：%1&lt;/div&gt;&lt;div&gt;错误地址：%2&lt;/div&gt;&lt;/FONT&gt;</source>
        <translation>&lt;div&gt;Error code: %1&lt;/div&gt;&lt;div&gt;Error address: %2&lt;/div&gt;&lt;/FONT&gt;</translation>
    </message>
</context>
<context>
    <name>CDrinkForm</name>
    <message>
        <source>充足的水分能够让皮肤更有弹性，更
明亮，更少脂肪，保持年轻和亮丽</source>
        <translation>Enough water keeps your skin supple,
clear and young</translation>
    </message>
    <message>
        <source>水，是最有益于健康的饮料</source>
        <translation>Water is the healthiest drink there is</translation>
    </message>
    <message>
        <source>研究表明，抑郁和慢性疲劳等许多
与社会压力有关的症状与大脑脱水有关</source>
        <translation>Studies link low mood and tiredness
to a brain short of water</translation>
    </message>
    <message>
        <source>水可以增加机体细胞代谢，
促进体内毒素的排出</source>
        <translation>Water speeds up your metabolism
and helps flush out toxins</translation>
    </message>
    <message>
        <source>充足的水分能够让皮肤更有弹性，
更明亮，更少脂肪，保持年轻和亮丽</source>
        <translation>Enough water keeps your skin supple,
clear and young</translation>
    </message>
    <message>
        <source>平时饮水多、爱喝茶的人高血压
及动脉硬化发病率就低</source>
        <translation>People who drink lots of water and tea
have less high blood pressure</translation>
    </message>
    <message>
        <source>不知道何时起，我喜欢上了喝水，
因为我知道它可以稀释一切难受</source>
        <translation>At some point I came to love water:
it dilutes every sorrow</translation>
    </message>
    <message>
        <source>毫升</source>
        <translation>ml</translation>
    </message>
    <message>
        <source>毫升/次</source>
        <translation>ml each</translation>
    </message>
    <message>
        <source>点我喝水</source>
        <translation>Drink</translation>
    </message>
    <message>
        <source>暂不喝水</source>
        <translation>Not now</translation>
    </message>
    <message>
        <source>秒后自动关闭</source>
        <translation>s to close</translation>
    </message>
    <message>
        <source>我的成绩</source>
        <translation>History</translation>
    </message>
    <message>
        <source>今天距达成目标还有</source>
        <translation>Still to drink today</translation>
    </message>
    <message>
        <source>今天的目标已达成，已喝水</source>
        <translation>Target met! Water today</translation>
    </message>
    <message>
        <source>水杯</source>
        <translation>Cup</translation>
    </message>
    <message>
        <source>本次喝水量</source>
        <translation>Amount to drink now</translation>
    </message>
    <message>
        <source>输入喝水量</source>
        <translation>Type the amount</translation>
    </message>
    <message>
        <source>%1毫升</source>
        <translation>%1 ml</translation>
    </message>
</context>
<context>
    <name>CDrinkHistoryExport</name>
    <message>
        <source>无法读取喝水记录。</source>
        <translation>The water history could not be read.</translation>
    </message>
    <message>
        <source>无法写入 %1：%2</source>
        <translation>Could not write %1: %2</translation>
    </message>
    <message>
        <source>日期</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>毫升</source>
        <translation>Millilitres</translation>
    </message>
    <message>
        <source>总量(毫升)</source>
        <translation>Total (ml)</translation>
    </message>
    <message>
        <source>喝水次数</source>
        <translation>Drinks</translation>
    </message>
    <message>
        <source>是否达标</source>
        <translation>Target reached</translation>
    </message>
    <message>
        <source>是</source>
        <translation>yes</translation>
    </message>
    <message>
        <source>否</source>
        <translation>no</translation>
    </message>
    <message>
        <source>全屏</source>
        <translation>Full screen</translation>
    </message>
    <message>
        <source>弹窗</source>
        <translation>Pop-up</translation>
    </message>
    <message>
        <source>休息完成</source>
        <translation>Taken</translation>
    </message>
    <message>
        <source>提前结束</source>
        <translation>Ended early</translation>
    </message>
    <message>
        <source>推迟</source>
        <translation>Put off</translation>
    </message>
    <message>
        <source>跳过</source>
        <translation>Skipped</translation>
    </message>
    <message>
        <source>暂缓</source>
        <translation>Held</translation>
    </message>
    <message>
        <source>离开</source>
        <translation>Away</translation>
    </message>
    <message>
        <source>全屏程序</source>
        <translation>Full-screen program</translation>
    </message>
    <message>
        <source>离开电脑</source>
        <translation>Away from the computer</translation>
    </message>
    <message>
        <source>所选程序</source>
        <translation>Chosen program</translation>
    </message>
    <message>
        <source>会议</source>
        <translation>Meeting</translation>
    </message>
    <message>
        <source>勿扰模式</source>
        <translation>Do Not Disturb</translation>
    </message>
    <message>
        <source>屏幕保持常亮</source>
        <translation>Session kept awake</translation>
    </message>
    <message>
        <source>暂停提醒</source>
        <translation>Paused</translation>
    </message>
    <message>
        <source>屏幕时间(分钟)</source>
        <translation>Screen time (min)</translation>
    </message>
    <message>
        <source>方式</source>
        <translation>Kind</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Outcome</translation>
    </message>
    <message>
        <source>推迟(分钟)</source>
        <translation>Put off (min)</translation>
    </message>
    <message>
        <source>原因</source>
        <translation>Reason</translation>
    </message>
    <message>
        <source>只写下了一部分，磁盘可能已满</source>
        <translation>only part of it was written; the disk may be full</translation>
    </message>
</context>
<context>
    <name>CDrinkTotalRecord</name>
    <message>
        <source>日</source>
        <translation>Day</translation>
    </message>
    <message>
        <source>周</source>
        <translation>Week</translation>
    </message>
    <message>
        <source>月</source>
        <translation>Month</translation>
    </message>
    <message>
        <source>总</source>
        <translation>All</translation>
    </message>
    <message>
        <source>累计喝水量</source>
        <translation>Total water</translation>
    </message>
    <message>
        <source>达标天数</source>
        <translation>Days on target</translation>
    </message>
    <message>
        <source>平均每天(毫升)</source>
        <translation>Per day (ml)</translation>
    </message>
    <message>
        <source>当天喝水(次)</source>
        <translation>Drinks</translation>
    </message>
    <message>
        <source>平均每次(毫升)</source>
        <translation>Per drink (ml)</translation>
    </message>
    <message>
        <source>第%1周喝水量</source>
        <translation>Water in week %1</translation>
    </message>
    <message>
        <source>毫升</source>
        <translation>ml</translation>
    </message>
    <message>
        <source>升</source>
        <translation>L</translation>
    </message>
    <message>
        <source>已达标</source>
        <translation>Reached</translation>
    </message>
    <message>
        <source>未达标</source>
        <translation>Missed</translation>
    </message>
    <message>
        <source>导出喝水记录…</source>
        <translation>Export water history…</translation>
    </message>
    <message>
        <source>喝水记录</source>
        <translation>water-history</translation>
    </message>
    <message>
        <source>导出喝水记录</source>
        <translation>Export water history</translation>
    </message>
    <message>
        <source>CSV 文件 (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source>休息</source>
        <translation>Rests</translation>
    </message>
    <message>
        <source>休息记录</source>
        <translation>Rest history</translation>
    </message>
    <message>
        <source>%1喝水量</source>
        <comment>a day</comment>
        <translation>Water on %1</translation>
    </message>
    <message>
        <source>M月d日</source>
        <translation>d MMM</translation>
    </message>
    <message>
        <source>%1喝水量</source>
        <comment>a month</comment>
        <translation>Water in %1</translation>
    </message>
    <message>
        <source>M月</source>
        <translation>MMMM</translation>
    </message>
    <message>
        <source>喝水记录已保存到 %1</source>
        <translation>Water history saved to %1</translation>
    </message>
    <message>
        <source>按日查看</source>
        <translation>By day</translation>
    </message>
    <message>
        <source>按周查看</source>
        <translation>By week</translation>
    </message>
    <message>
        <source>按月查看</source>
        <translation>By month</translation>
    </message>
    <message>
        <source>全部记录</source>
        <translation>All time</translation>
    </message>
    <message>
        <source>喝水量图表</source>
        <translation>Water chart</translation>
    </message>
    <message>
        <source>使用天数</source>
        <translation>Days of use</translation>
    </message>
    <message>
        <source>上一页</source>
        <translation>Previous page</translation>
    </message>
    <message>
        <source>下一页</source>
        <translation>Next page</translation>
    </message>
</context>
<context>
    <name>CDrinksSettingsWindow</name>
    <message>
        <source>定时提醒：</source>
        <translation>Reminder</translation>
    </message>
    <message>
        <source>喝水音效：</source>
        <translation>Sip sound</translation>
    </message>
    <message>
        <source>提醒音效：</source>
        <translation>Chime</translation>
    </message>
    <message>
        <source>每日目标：</source>
        <translation>Per day:</translation>
    </message>
    <message>
        <source>毫升</source>
        <translation>ml</translation>
    </message>
    <message>
        <source>每次喝水：</source>
        <translation>Per drink:</translation>
    </message>
    <message>
        <source>每隔多久提醒一次：</source>
        <translation>Remind me every:</translation>
    </message>
    <message>
        <source>自定义：</source>
        <translation>Custom</translation>
    </message>
    <message>
        <source>小时</source>
        <translation>h</translation>
    </message>
    <message>
        <source>分钟</source>
        <translation>min</translation>
    </message>
    <message>
        <source>下次提醒时间：</source>
        <translation>Next reminder:</translation>
    </message>
    <message>
        <source>喝水要少量多次，每次在100毫升左右较合适</source>
        <translation>Drink little and often: about 100 ml at a time</translation>
    </message>
</context>
<context>
    <name>CDrinksTask</name>
    <message>
        <source>成绩</source>
        <translation>History</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Set up</translation>
    </message>
    <message>
        <source>立刻喝水</source>
        <translation>Drink now</translation>
    </message>
    <message>
        <source>喝水提醒</source>
        <translation>Water reminder</translation>
    </message>
    <message>
        <source>喝水成绩</source>
        <translation>Water history</translation>
    </message>
    <message>
        <source>喝水提醒设置</source>
        <translation>Water reminder settings</translation>
    </message>
</context>
<context>
    <name>CDrinksWindow</name>
    <message>
        <source>喝水提醒</source>
        <translation>Water reminder</translation>
    </message>
    <message>
        <source>最小化</source>
        <translation>Minimise</translation>
    </message>
    <message>
        <source>菜单</source>
        <translation>Menu</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>CEyeshieldTask</name>
    <message>
        <source>设置</source>
        <translation>Set up</translation>
    </message>
    <message>
        <source>不支持</source>
        <translation>N/A</translation>
    </message>
    <message>
        <source>防蓝光</source>
        <translation>Blue light filter</translation>
    </message>
    <message>
        <source>防蓝光设置</source>
        <translation>Blue light filter settings</translation>
    </message>
</context>
<context>
    <name>CEyeshieldWindow</name>
    <message>
        <source>根据晨夜光感不同，智能调节防蓝光强度</source>
        <translation>Follows the light from morning to night</translation>
    </message>
    <message>
        <source>适当过滤蓝色光，便于在工作中集中注意力</source>
        <translation>Less blue light helps you focus on work</translation>
    </message>
    <message>
        <source>完美展示特效，颜色比例保持真实度</source>
        <translation>Keeps colours true for games</translation>
    </message>
    <message>
        <source>增强防蓝光强度，烘托影片氛围</source>
        <translation>A stronger filter for a cinema mood</translation>
    </message>
    <message>
        <source>建议开启智能模式，可有效过滤蓝光辐射</source>
        <translation>Smart mode filters blue light for you</translation>
    </message>
    <message>
        <source>防蓝光：</source>
        <translation>Filter:</translation>
    </message>
    <message>
        <source>防蓝光强度</source>
        <translation>Filter strength</translation>
    </message>
    <message>
        <source>智能</source>
        <translation>Smart</translation>
    </message>
    <message>
        <source>办公</source>
        <translation>Work</translation>
    </message>
    <message>
        <source>游戏</source>
        <translation>Game</translation>
    </message>
    <message>
        <source>看片</source>
        <translation>Movie</translation>
    </message>
    <message>
        <source>建议开启智能模式,可有效过滤蓝光辐射</source>
        <translation>Smart mode filters blue light for you</translation>
    </message>
    <message>
        <source>智能模式设置</source>
        <translation>Smart mode settings</translation>
    </message>
</context>
<context>
    <name>CFeatureCard</name>
    <message>
        <source>已开启</source>
        <translation>On</translation>
    </message>
    <message>
        <source>未开启</source>
        <translation>Off</translation>
    </message>
</context>
<context>
    <name>CHistoryNotice</name>
    <message>
        <source>喝水记录未保存</source>
        <translation>Drinks not saved yet</translation>
    </message>
    <message>
        <source>喝水记录暂时无法保存</source>
        <translation>Your drinks can't be saved right now</translation>
    </message>
    <message>
        <source>喝水记录文件 HealthConfig.db 现在无法写入，可能正被其他程序（如备份或同步工具）占用。您的喝水都已记下，不会丢失，文件可以写入时会自动保存。</source>
        <translation>The drinking history file HealthConfig.db can't be written at the moment; another program (a backup or sync tool, for example) may be using it. Every drink you recorded is kept and will be saved as soon as the file can be written.</translation>
    </message>
    <message>
        <source>知道了</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>关闭提示</source>
        <translation>Close this notice</translation>
    </message>
</context>
<context>
    <name>CMainWindow</name>
    <message>
        <source>喝水提醒</source>
        <translation>Water reminder</translation>
    </message>
    <message>
        <source>休息提醒</source>
        <translation>Rest reminder</translation>
    </message>
    <message>
        <source>防蓝光</source>
        <translation>Blue light filter</translation>
    </message>
</context>
<context>
    <name>CMenuObject</name>
    <message>
        <source>今日不弹出</source>
        <translation>No pop-ups today</translation>
    </message>
    <message>
        <source>不再弹出</source>
        <translation>No more pop-ups</translation>
    </message>
    <message>
        <source>开机启动</source>
        <translation>Start at login</translation>
    </message>
    <message>
        <source>反馈建议</source>
        <translation>Feedback</translation>
    </message>
    <message>
        <source>检查更新</source>
        <translation>Check for updates</translation>
    </message>
    <message>
        <source>全屏时暂缓提醒</source>
        <translation>Hold reminders in full screen</translation>
    </message>
    <message>
        <source>离开时暂缓提醒</source>
        <translation>Hold reminders while away</translation>
    </message>
    <message>
        <source>会议、勿扰时暂缓提醒</source>
        <translation>Hold reminders in meetings and Do Not Disturb</translation>
    </message>
    <message>
        <source>暂缓提醒的程序…</source>
        <translation>Programs that hold reminders…</translation>
    </message>
</context>
<context>
    <name>CMessageShow</name>
    <message>
        <source>是否退出Rezovuvove？</source>
        <translation>Quit Rezovuvove?</translation>
    </message>
    <message>
        <source>退出后将失去提醒及防蓝光保护</source>
        <translation>Reminders and the blue light filter stop.</translation>
    </message>
    <message>
        <source>是</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>否</source>
        <translation>No</translation>
    </message>
</context>
<context>
    <name>CPausingProgramsSettings</name>
    <message>
        <source>暂缓提醒的程序</source>
        <translation>Programs that hold reminders</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>这些程序的窗口在前台时，喝水和休息提醒会暂缓。</source>
        <translation>While a window of one of these programs is in front, drink and rest reminders wait.</translation>
    </message>
    <message>
        <source>已选程序</source>
        <translation>Chosen programs</translation>
    </message>
    <message>
        <source>按 Delete 键移除所选程序</source>
        <translation>Press Delete to remove the selected program</translation>
    </message>
    <message>
        <source>已选程序：</source>
        <translation>Chosen programs:</translation>
    </message>
    <message>
        <source>移除</source>
        <translation>Remove</translation>
    </message>
    <message>
        <source>移除所选程序</source>
        <translation>Remove the selected program</translation>
    </message>
    <message>
        <source>添加程序</source>
        <translation>Add a program</translation>
    </message>
    <message>
        <source>选择有窗口打开的程序，或输入程序名</source>
        <translation>Pick a program with an open window, or type a program name</translation>
    </message>
    <message>
        <source>程序名</source>
        <translation>Program name</translation>
    </message>
    <message>
        <source>添加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>添加程序到列表</source>
        <translation>Add the program to the list</translation>
    </message>
    <message>
        <source>添加程序：</source>
        <translation>Add a program:</translation>
    </message>
</context>
<context>
    <name>CPromptDialog</name>
    <message>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>CRelaxFullShowSettings</name>
    <message>
        <source>休息提醒设置</source>
        <translation>Rest reminder settings</translation>
    </message>
    <message>
        <source>菜单</source>
        <translation>Menu</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>CRelaxFullShowWindow</name>
    <message>
        <source>一只老虎被一根85米长的绳子捆着，它前方100米处有一堆草，老虎怎么样才能吃到草？</source>
        <translation>A tiger is tied up with an 85-metre rope, and 100 metres in front of it lies a pile of grass. How can the tiger eat the grass?</translation>
    </message>
    <message>
        <source>老虎不吃草</source>
        <translation>Tigers do not eat grass</translation>
    </message>
    <message>
        <source>一个人如果对自己的事业充满热爱，并选定了自己的工作愿望，就会自发地尽自己最大的努力去工作。如果一个人一生当中没有任何目标，那他就会迷失自己。</source>
        <translation>Whoever loves their work and has chosen what they want from it will do their very best of their own accord. Whoever has no goal in life loses their way.</translation>
    </message>
    <message>
        <source>脸朝前，侧颈，尽量贴近肩部，保持2~3秒钟，复原。先左后右，做5次。</source>
        <translation>Face forward and tilt your head, ear towards the shoulder, as far as you can; hold 2–3 seconds and come back. Left, then right, 5 times.</translation>
    </message>
    <message>
        <source>俯视，然后后仰，保持2-3秒。做5次。</source>
        <translation>Look down, then tilt your head back; hold 2–3 seconds. 5 times.</translation>
    </message>
    <message>
        <source>左右转动头颈，做5次。</source>
        <translation>Turn your head left and right, 5 times.</translation>
    </message>
    <message>
        <source>伸肘与肩平，做饶肩运动，先向前，再向后，各做5次。</source>
        <translation>Raise your elbows to shoulder height and circle your shoulders, forward and then back, 5 times each.</translation>
    </message>
    <message>
        <source>您还需要休息 %1</source>
        <translation>Rest for another %1</translation>
    </message>
    <message>
        <source>全屏展示</source>
        <translation>Full-screen rest</translation>
    </message>
    <message>
        <source>结束休息</source>
        <translation>End rest</translation>
    </message>
    <message>
        <source>一小时内不再全屏</source>
        <translation>No full screen for an hour</translation>
    </message>
    <message>
        <source>今日不再全屏</source>
        <translation>No full screen today</translation>
    </message>
    <message>
        <source>不再弹出</source>
        <translation>No more pop-ups</translation>
    </message>
    <message>
        <source>提醒设置</source>
        <translation>Reminder settings</translation>
    </message>
    <message>
        <source>反馈建议</source>
        <translation>Feedback</translation>
    </message>
    <message>
        <source>颈椎操 第%1节</source>
        <translation>Neck exercise %1</translation>
    </message>
    <message>
        <source>休息选项</source>
        <translation>Rest options</translation>
    </message>
    <message>
        <source>上一个</source>
        <translation>Previous</translation>
    </message>
    <message>
        <source>下一个</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>题目</source>
        <translation>Question</translation>
    </message>
    <message>
        <source>答案</source>
        <translation>Answer</translation>
    </message>
</context>
<context>
    <name>CRelaxGreeting</name>
    <message>
        <source>新晨伊始，小憩片刻，收拾好昨日的
欢喜或纷扰，来拥抱当下吧</source>
        <translation>A new morning: pause, put away yesterday&apos;s
joys and worries, and embrace the day</translation>
    </message>
    <message>
        <source>一杯清茶，浮生偶得几分闲，那四溢
而出的，是茶香，也是远方</source>
        <translation>A cup of tea, a moment of leisure: what rises
from it is the scent of tea and far-off places</translation>
    </message>
    <message>
        <source>哪怕午餐只是每日任务，也给它来个
任务完成吧！</source>
        <translation>Even if lunch is just one more daily task,
give it a proper &quot;task completed&quot;!</translation>
    </message>
    <message>
        <source>午后的窗外，风景正好，不甘心当个看客，
约上三五好友，一起出去走走</source>
        <translation>The view outside is lovely: don&apos;t just watch it,
ask a few friends out for a walk</translation>
    </message>
    <message>
        <source>歌单里的老歌，如今听来，或许会心一笑
，或许暗自叹息，可它都是曾经</source>
        <translation>Old songs on your playlist may bring a smile
or a sigh, but they are all your past</translation>
    </message>
    <message>
        <source>懒洋洋的下午茶时光，和好友聊
聊天，生活可以如此惬意</source>
        <translation>A lazy afternoon tea and a chat with
friends: life can be this easy</translation>
    </message>
    <message>
        <source>努力了一天的你最优秀，工作再忙
也要早点回家多陪陪家人哦！</source>
        <translation>You worked hard today. However busy you are,
go home early and be with your family!</translation>
    </message>
    <message>
        <source>享受安静时光，不要咖啡和红酒，舒服
的沙发，最新的剧，就挺好</source>
        <translation>Enjoy some quiet: no coffee, no wine, just a
comfy sofa and the latest show</translation>
    </message>
    <message>
        <source>夜深了，有一种孤独叫没人和你说
晚安。对自己好点，快睡吧</source>
        <translation>It is late, and no one has said good night.
Be kind to yourself and go to sleep</translation>
    </message>
</context>
<context>
    <name>CRelaxPopup</name>
    <message>
        <source>菜单</source>
        <translation>Menu</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>CRelaxSettingsForm</name>
    <message>
        <source>定时提醒：</source>
        <translation>Reminder</translation>
    </message>
    <message>
        <source>全屏提醒：</source>
        <translation>Fullscreen</translation>
    </message>
    <message>
        <source>全屏倒计时：</source>
        <translation>Countdown:</translation>
    </message>
    <message>
        <source>秒</source>
        <translation>s</translation>
    </message>
    <message>
        <source>每次休息：</source>
        <translation>Each rest:</translation>
    </message>
    <message>
        <source>分钟</source>
        <translation>min</translation>
    </message>
    <message>
        <source>每隔多久提醒一次：</source>
        <translation>Remind me every:</translation>
    </message>
    <message>
        <source>自定义：</source>
        <translation>Custom</translation>
    </message>
    <message>
        <source>小时</source>
        <translation>h</translation>
    </message>
    <message>
        <source>下次提醒时间：</source>
        <translation>Next reminder:</translation>
    </message>
    <message>
        <source>开启全屏提醒，让每次休息更效率，更健康！</source>
        <translation>Full-screen rests make every break count!</translation>
    </message>
</context>
<context>
    <name>CRelaxSettingsWindow</name>
    <message>
        <source>设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>提醒音效：</source>
        <translation>Chime</translation>
    </message>
</context>
<context>
    <name>CRelaxShowWindow</name>
    <message>
        <source>休息提醒</source>
        <translation>Rest reminder</translation>
    </message>
    <message>
        <source>最小化</source>
        <translation>Minimise</translation>
    </message>
    <message>
        <source>后结束休息</source>
        <translation>left to rest</translation>
    </message>
    <message>
        <source>结束休息</source>
        <translation>End rest</translation>
    </message>
</context>
<context>
    <name>CRelaxTask</name>
    <message>
        <source>设置</source>
        <translation>Set up</translation>
    </message>
    <message>
        <source>休息提醒</source>
        <translation>Rest reminder</translation>
    </message>
    <message>
        <source>休息提醒设置</source>
        <translation>Rest reminder settings</translation>
    </message>
</context>
<context>
    <name>CRelaxTipsWindow</name>
    <message>
        <source>休息提醒提示</source>
        <translation>Rest reminder notice</translation>
    </message>
    <message>
        <source>休息提醒</source>
        <translation>Rest reminder</translation>
    </message>
    <message>
        <source>秒后开启提醒</source>
        <translation>s until your rest</translation>
    </message>
    <message>
        <source>我要休息</source>
        <translation>Rest now</translation>
    </message>
    <message>
        <source>暂不休息</source>
        <translation>Not now</translation>
    </message>
    <message>
        <source>%1秒后开启提醒</source>
        <translation>%1 s until your rest</translation>
    </message>
</context>
<context>
    <name>CRestChart</name>
    <message>
        <source>休息图表</source>
        <translation>Rest chart</translation>
    </message>
    <message>
        <source>%1：应休息 %2 次，已休息 %3 次</source>
        <translation>%1: %2 rests due, %3 taken</translation>
    </message>
</context>
<context>
    <name>CRestRecordView</name>
    <message>
        <source>日</source>
        <translation>Day</translation>
    </message>
    <message>
        <source>按日查看休息</source>
        <translation>Rests by day</translation>
    </message>
    <message>
        <source>周</source>
        <translation>Week</translation>
    </message>
    <message>
        <source>按周查看休息</source>
        <translation>Rests by week</translation>
    </message>
    <message>
        <source>月</source>
        <translation>Month</translation>
    </message>
    <message>
        <source>按月查看休息</source>
        <translation>Rests by month</translation>
    </message>
    <message>
        <source>更早的休息</source>
        <translation>Earlier rests</translation>
    </message>
    <message>
        <source>更近的休息</source>
        <translation>Later rests</translation>
    </message>
    <message>
        <source>已休息 / 应休息(次)</source>
        <translation>Rests taken / due</translation>
    </message>
    <message>
        <source>推迟(次)</source>
        <translation>Put off</translation>
    </message>
    <message>
        <source>跳过(次)</source>
        <translation>Skipped</translation>
    </message>
    <message>
        <source>屏幕时间(时:分)</source>
        <translation>Screen (h:mm)</translation>
    </message>
    <message>
        <source>%1周</source>
        <translation>W%1</translation>
    </message>
    <message>
        <source>%1月</source>
        <translation>%1</translation>
    </message>
    <message>
        <source>第%1周休息</source>
        <translation>Week %1 rests</translation>
    </message>
    <message>
        <source>%1月休息</source>
        <translation>Month %1 rests</translation>
    </message>
    <message>
        <source>%1月%2日休息</source>
        <translation>Rests on %1/%2</translation>
    </message>
</context>
<context>
    <name>CStartupRules</name>
    <message>
        <source>开机时自动启动Rezovuvove</source>
        <translation>Start Rezovuvove at login</translation>
    </message>
    <message>
        <source>关爱您的健康，让提醒更省心</source>
        <translation>Reminders that care for you</translation>
    </message>
</context>
<context>
    <name>CStatusLine</name>
    <message>
        <source>喝水提醒</source>
        <translation>Water reminder</translation>
    </message>
    <message>
        <source>休息提醒</source>
        <translation>Rest reminder</translation>
    </message>
    <message>
        <source>；</source>
        <translation>; </translation>
    </message>
    <message>
        <source>防蓝光：关</source>
        <translation>Blue light filter: off</translation>
    </message>
    <message>
        <source>智能</source>
        <translation>Smart</translation>
    </message>
    <message>
        <source>办公</source>
        <translation>Work</translation>
    </message>
    <message>
        <source>游戏</source>
        <translation>Game</translation>
    </message>
    <message>
        <source>看片</source>
        <translation>Movie</translation>
    </message>
    <message>
        <source>自定义</source>
        <translation>Custom</translation>
    </message>
    <message>
        <source>防蓝光：开，%1，%2%</source>
        <translation>Blue light filter: on, %1, %2%</translation>
    </message>
    <message>
        <source>%1：关</source>
        <translation>%1: off</translation>
    </message>
    <message>
        <source>%1：每 %2 分钟，下次 %3</source>
        <translation>%1: every %2 min, next at %3</translation>
    </message>
    <message>
        <source>提醒不再弹出</source>
        <translation>No more pop-ups</translation>
    </message>
    <message>
        <source>提醒今日不弹出</source>
        <translation>No pop-ups today</translation>
    </message>
    <message>
        <source>提醒暂停到 %1</source>
        <translation>Reminders paused until %1</translation>
    </message>
</context>
<context>
    <name>CSystemTray</name>
    <message>
        <source>立刻喝水</source>
        <translation>Drink now</translation>
    </message>
    <message>
        <source>喝水成绩</source>
        <translation>Water history</translation>
    </message>
    <message>
        <source>喝水设置</source>
        <translation>Water settings</translation>
    </message>
    <message>
        <source>休息设置</source>
        <translation>Rest settings</translation>
    </message>
    <message>
        <source>防蓝光设置</source>
        <translation>Blue light filter settings</translation>
    </message>
    <message>
        <source>反馈建议</source>
        <translation>Feedback</translation>
    </message>
    <message>
        <source>检查更新</source>
        <translation>Check for updates</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Quit</translation>
    </message>
</context>
<context>
    <name>CUpdateContext</name>
    <message>
        <source>完整性效验失败</source>
        <translation>Integrity check failed</translation>
    </message>
    <message>
        <source>您的程序不完整,请从官网下载最新包</source>
        <translation>The program is incomplete: download it again</translation>
    </message>
</context>
<context>
    <name>GaugeRange</name>
    <message>
        <source>累计喝水天数</source>
        <translation>Days tracked</translation>
    </message>
</context>
<context>
    <name>Tumbler</name>
    <message>
        <source>%1周</source>
        <translation>W%1</translation>
    </message>
    <message>
        <source>M月</source>
        <translation>MMM</translation>
    </message>
    <message>
        <source>%1：无记录</source>
        <translation>%1: nothing recorded</translation>
    </message>
    <message>
        <source>%1：%2毫升，已达标</source>
        <translation>%1: %2 ml, target met</translation>
    </message>
    <message>
        <source>%1：%2毫升，未达标</source>
        <translation>%1: %2 ml, below target</translation>
    </message>
</context>
</TS>
