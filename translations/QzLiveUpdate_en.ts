<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>CDownload</name>
    <message>
        <source>更新文件过大!</source>
        <translation>The update file is too large!</translation>
    </message>
    <message>
        <source>创建更新临时文件失败!</source>
        <translation>Could not create the update file!</translation>
    </message>
    <message>
        <source>更新文件不完整!</source>
        <translation>The update file is incomplete!</translation>
    </message>
    <message>
        <source>保存更新文件失败!</source>
        <translation>Could not save the update file!</translation>
    </message>
</context>
<context>
    <name>CQzLiveUpdate</name>
    <message>
        <source>检查更新</source>
        <translation>Check for updates</translation>
    </message>
    <message>
        <source>更新中...%1%</source>
        <translation>Updating... %1%</translation>
    </message>
    <message>
        <source>已经是最新版本啦！</source>
        <translation>You&apos;re up to date!</translation>
    </message>
    <message>
        <source>版本：v%1</source>
        <translation>Version: v%1</translation>
    </message>
    <message>
        <source>检测到最新版本v %1</source>
        <translation>New version: v%1</translation>
    </message>
</context>
<context>
    <name>CQzLiveUpdateClass</name>
    <message>
        <source>检查更新</source>
        <translation>Check for updates</translation>
    </message>
    <message>
        <source>已经是最新版本啦！</source>
        <translation>You&apos;re up to date!</translation>
    </message>
    <message>
        <source>版本：V1.012</source>
        <translation>Version: V1.012</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>检测到最新版本 V1.301</source>
        <translation>New version: V1.301</translation>
    </message>
    <message>
        <source>暂不考虑</source>
        <translation>Not now</translation>
    </message>
    <message>
        <source>立即更新</source>
        <translation>Update now</translation>
    </message>
    <message>
        <source>更新中...</source>
        <translation>Updating...</translation>
    </message>
    <message>
        <source>您的zudu版本太旧，已不能 使用，请升级到最新版zudu</source>
        <translation>This version of Rezovuvove is too old to use. Please update.</translation>
    </message>
    <message>
        <source>一键更新</source>
        <translation>Update</translation>
    </message>
    <message>
        <source>更新失败！</source>
        <translation>Update failed!</translation>
    </message>
    <message>
        <source>请检查您的网络连接</source>
        <translation>Check your network</translation>
    </message>
    <message>
        <source>重试</source>
        <translation>Retry</translation>
    </message>
</context>
</TS>
