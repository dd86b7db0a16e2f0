<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es" sourcelanguage="en">
<context>
    <name>MoreApps</name>
    <message>
        <source>More Mac Apps</source>
        <translation>Más apps para Mac</translation>
    </message>
    <message>
        <source>Each one opens in the App Store.</source>
        <translation>Cada una se abre en la App Store.</translation>
    </message>
    <message>
        <source>App Store apps open in the App Store; the others open on %1.</source>
        <translation>Las apps de la App Store se abren en la App Store; las demás, en %1.</translation>
    </message>
    <message>
        <source>Opens %1 in the App Store</source>
        <translation>Abre %1 en la App Store</translation>
    </message>
    <message>
        <source>Opens %1 on %2</source>
        <translation>Abre %1 en %2</translation>
    </message>
    <message>
        <source>Opens %1 in your browser</source>
        <translation>Abre %1 en tu navegador</translation>
    </message>
    <message>
        <source>See all Mac apps on %1</source>
        <translation>Ver todas las apps para Mac en %1</translation>
    </message>
</context>
</TS>
