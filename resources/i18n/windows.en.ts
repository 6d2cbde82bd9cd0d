<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="ja_JP">
    <context>
        <name>ZBQ</name>
        <message>
            <source>クロス集計の作成に失敗しました。処理を中止します。</source>
            <translation>The cross tabulation could not be made. Processing stops.</translation>
        </message>
        <message>
            <source>ドリルスルーを実行できません。</source>
            <translation>Drill-through cannot be run.</translation>
        </message>
        <message>
            <source>データ数が多いため表示できません</source>
            <translation>Too many data to show</translation>
        </message>
        <message>
            <source>カラム数が256を超えています。出力できません。</source>
            <translation>More than 256 columns. Cannot write them out.</translation>
        </message>
        <message>
            <source>開いているファイルを閉じて下さい</source>
            <translation>Please close the open file</translation>
        </message>
        <message>
            <source>Excelの出力に失敗しました。処理を中止します。</source>
            <translation>Writing to Excel failed. Processing stops.</translation>
        </message>
        <message>
            <source>ドリルスルーを実行しますか？</source>
            <translation>Run the drill-through?</translation>
        </message>
        <message>
            <source>グラフファイルの作成に失敗しました</source>
            <translation>The graph file could not be made</translation>
        </message>
    </context>
</TS>
