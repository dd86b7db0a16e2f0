<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="en">
<context>
    <name>MoreApps</name>
    <message>
        <source>More Mac Apps</source>
        <translation>More Mac Apps</translation>
    </message>
    <message>
        <source>Each one opens in the App Store.</source>
        <translation>Each one opens in the App Store.</translation>
    </message>
    <message>
        <source>App Store apps open in the App Store; the others open on %1.</source>
        <translation>App Store apps open in the App Store; the others open on %1.</translation>
    </message>
    <message>
        <source>Opens %1 in the App Store</source>
        <translation>Opens %1 in the App Store</translation>
    </message>
    <message>
        <source>Opens %1 on %2</source>
        <translation>Opens %1 on %2</translation>
    </message>
    <message>
        <source>Opens %1 in your browser</source>
        <translation>Opens %1 in your browser</translation>
    </message>
    <message>
        <source>See all Mac apps on %1</source>
        <translation>See all Mac apps on %1</translation>
    </message>
</context>
</TS>
