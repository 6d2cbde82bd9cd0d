<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="ja_JP">
    <context>
        <name>ZBQ</name>
        <message>
            <source>改行を含むため、この操作はマクロに記録できません。</source>
            <translation>This operation contains a line break and cannot be recorded in a macro.</translation>
        </message>
        <message>
            <source>マクロが999件登録されています。1000件以上は登録できません。</source>
            <translation>999 macros are registered. No more than 999 can be registered.</translation>
        </message>
        <message>
            <source>構造定義情報のマクロ領域への読込みに失敗しました。</source>
            <translation>The structure definition could not be read into the macro area.</translation>
        </message>
        <message>
            <source>MCRファイルが存在しません。</source>
            <translation>The MCR file does not exist.</translation>
        </message>
        <message>
            <source>マクロの実行が完了しました。</source>
            <translation>The macro has finished.</translation>
        </message>
        <message>
            <source>マクロ「auto_open」の実行が完了しました。</source>
            <translation>The macro "auto_open" has finished.</translation>
        </message>
        <message>
            <source>ファイル名に使用できない文字が含まれています。</source>
            <translation>The name contains characters a file name cannot hold.</translation>
        </message>
        <message>
            <source>入力して下さい｡</source>
            <translation>Please enter a value.</translation>
        </message>
    </context>
</TS>
