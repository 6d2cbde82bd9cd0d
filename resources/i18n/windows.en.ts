<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="ja_JP">
    <context>
        <name>ZBQ</name>
        <message>
            <source>%1の[image] Path= に、ファイルのパスを記述して下さい。</source>
            <translation>Please write the folder of the files after [image] Path= in %1.</translation>
        </message>
        <message>
            <source>%1ファイルが見つかりません。
%2の[image] Path= に記述されているパスにファイルがあるか確認してください。</source>
            <translation>The file %1 cannot be found.
Please check that the file is in the folder written after [image] Path= in %2.</translation>
        </message>
        <message>
            <source>%1ファイルの表示に失敗しました。</source>
            <translation>The file %1 could not be shown.</translation>
        </message>
        <message>
            <source>登録番号の取得に失敗したため、添付ファイルを表示できません。
コンソール画面［項目選択］タブのツリー一覧の先頭項目に「登録番号」になっているか確認して下さい。</source>
            <translation>The attached file cannot be shown: the record number could not be read.
Please check that the first item of the tree on the console's [Select item] tab is the record number.</translation>
        </message>
        <message>
            <source>添付ファイルを表示するためのモジュールの起動に失敗しました。

モジュール[%1]</source>
            <translation>The program that shows attached files could not be started.

Program [%1]</translation>
        </message>
        <message>
            <source>ｸﾛｽ集計(%1)[X：%2][Y：%3][Z：%4] %5 Rec</source>
            <translation>Cross tab (%1)[X: %2][Y: %3][Z: %4] %5 Rec</translation>
        </message>
        <message>
            <source>ソート</source>
            <translation>Sort</translation>
        </message>
        <message>
            <source>昇順にソート</source>
            <translation>Sort ascending</translation>
        </message>
        <message>
            <source>降順にソート</source>
            <translation>Sort descending</translation>
        </message>
        <message>
            <source>元データ順表示</source>
            <translation>Original order</translation>
        </message>
        <message>
            <source>選択範囲でドリルスルー</source>
            <translation>Drill through the selection</translation>
        </message>
        <message>
            <source>クロス集計全部をコピー</source>
            <translation>Copy the whole cross tab</translation>
        </message>
        <message>
            <source>コピー</source>
            <translation>Copy</translation>
        </message>
        <message>
            <source>項目名付き</source>
            <translation>With item names</translation>
        </message>
        <message>
            <source>項目名無し</source>
            <translation>No item names</translation>
        </message>
        <message>
            <source>クロス集計全部をCSVに書出し</source>
            <translation>Write the whole cross tab to CSV</translation>
        </message>
        <message>
            <source>CSVに書出し</source>
            <translation>Write to CSV</translation>
        </message>
        <message>
            <source>クロス集計全部をExcelに書出し</source>
            <translation>Write the whole cross tab to Excel</translation>
        </message>
        <message>
            <source>Excelに書出し</source>
            <translation>Write to Excel</translation>
        </message>
        <message>
            <source>小数点以下桁数</source>
            <translation>Decimal places</translation>
        </message>
        <message>
            <source>通常値件数</source>
            <translation>Ordinary records</translation>
        </message>
        <message>
            <source>クロス集計の作成に失敗しました。処理を中止します。</source>
            <translation>The cross tabulation could not be made. Processing stops.</translation>
        </message>
        <message>
            <source>ｴﾗｰ･ﾌﾞﾗﾝｸ削除</source>
            <translation>Hide errors and blanks</translation>
        </message>
        <message>
            <source>ｴﾗｰ･ﾌﾞﾗﾝｸ表示</source>
            <translation>Show errors and blanks</translation>
        </message>
        <message>
            <source>ドリルスルーを実行できません。</source>
            <translation>Drill-through cannot be run.</translation>
        </message>
        <message>
            <source>CSVファイルのオープンに失敗しました

[%1]</source>
            <translation>The CSV file could not be opened

[%1]</translation>
        </message>
        <message>
            <source>エクセルファイルの起動に失敗しました

[%1]</source>
            <translation>The spreadsheet file could not be opened

[%1]</translation>
        </message>
        <message>
            <source>データ数が多いため表示できません</source>
            <translation>Too many data to show</translation>
        </message>
        <message>
            <source>データ数が多いため、見づらくなる可能性があります</source>
            <translation>There are many data: the graph may be hard to read</translation>
        </message>
        <message>
            <source>'%1' へ上書きしようとしています。
よろしいですか？</source>
            <translation>'%1' is about to be overwritten.
Do you want to continue?</translation>
        </message>
        <message>
            <source>上書き確認</source>
            <translation>Confirm overwrite</translation>
        </message>
        <message>
            <source>概要</source>
            <translation>Summary</translation>
        </message>
        <message>
            <source>値一覧</source>
            <translation>Values</translation>
        </message>
        <message>
            <source>％順位値算出</source>
            <translation>Value at a % order</translation>
        </message>
        <message>
            <source>該当する元データの先頭</source>
            <translation>First matching record</translation>
        </message>
        <message>
            <source>該当する元データで１つ前方</source>
            <translation>Previous matching record</translation>
        </message>
        <message>
            <source>該当する元データで１つ後方</source>
            <translation>Next matching record</translation>
        </message>
        <message>
            <source>該当する元データの最後</source>
            <translation>Last matching record</translation>
        </message>
        <message>
            <source>選択数</source>
            <translation>Selected</translation>
        </message>
        <message>
            <source>全数</source>
            <translation>All</translation>
        </message>
        <message>
            <source>新集合作成</source>
            <translation>New set</translation>
        </message>
        <message>
            <source>表示中の値選択リストから集合を絞り込みます</source>
            <translation>Makes a set of the values checked in the list</translation>
        </message>
        <message>
            <source>ｸﾞﾗﾌ</source>
            <translation>Graph</translation>
        </message>
        <message>
            <source>表示中の値選択リストからグラフを表示します</source>
            <translation>Shows a graph of the values in the list</translation>
        </message>
        <message>
            <source>該当する値で最初</source>
            <translation>First matching value</translation>
        </message>
        <message>
            <source>該当する値で１つ前方</source>
            <translation>Previous matching value</translation>
        </message>
        <message>
            <source>該当する値で１つ後方</source>
            <translation>Next matching value</translation>
        </message>
        <message>
            <source>該当する値で最後</source>
            <translation>Last matching value</translation>
        </message>
        <message>
            <source>文字列</source>
            <comment>value search</comment>
            <translation>Text</translation>
        </message>
        <message>
            <source>文字列で検索する場合、チェックします</source>
            <translation>Check to search for text</translation>
        </message>
        <message>
            <source>検索式を検索・入力</source>
            <translation>Search: type or pick a search term</translation>
        </message>
        <message>
            <source>元ﾃﾞｰﾀ表示</source>
            <translation>Original data</translation>
        </message>
        <message>
            <source>元データ順ソート（昇順）</source>
            <translation>Sort in original order (ascending)</translation>
        </message>
        <message>
            <source>コードで表示</source>
            <translation>Show as codes</translation>
        </message>
        <message>
            <source>項目の詳細表示</source>
            <translation>Show item details</translation>
        </message>
        <message>
            <source>セル幅を調整</source>
            <translation>Fit cell width</translation>
        </message>
        <message>
            <source>カンマ編集</source>
            <translation>Commas</translation>
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
            <source>総計</source>
            <translation>Grand total</translation>
        </message>
        <message>
            <source>ﾄﾞﾘﾙｽﾙｰ</source>
            <translation>Drill through</translation>
        </message>
        <message>
            <source>フィルター</source>
            <translation>Filter</translation>
        </message>
        <message>
            <source>第１条件</source>
            <comment>aggregation filter</comment>
            <translation>Filter 1</translation>
        </message>
        <message>
            <source>第２条件</source>
            <comment>aggregation filter</comment>
            <translation>Filter 2</translation>
        </message>
        <message>
            <source>第３条件</source>
            <comment>aggregation filter</comment>
            <translation>Filter 3</translation>
        </message>
        <message>
            <source>第４条件</source>
            <comment>aggregation filter</comment>
            <translation>Filter 4</translation>
        </message>
        <message>
            <source>第５条件</source>
            <comment>aggregation filter</comment>
            <translation>Filter 5</translation>
        </message>
        <message>
            <source>範囲</source>
            <translation>Range</translation>
        </message>
        <message>
            <source>%1期</source>
            <translation>Q%1</translation>
        </message>
        <message>
            <source>上期</source>
            <translation>First half</translation>
        </message>
        <message>
            <source>下期</source>
            <translation>Second half</translation>
        </message>
        <message>
            <source>最大</source>
            <translation>Max</translation>
        </message>
        <message>
            <source>最小</source>
            <translation>Min</translation>
        </message>
        <message>
            <source>(切り捨て)</source>
            <translation>(round down)</translation>
        </message>
        <message>
            <source>(切り上げ)</source>
            <translation>(round up)</translation>
        </message>
        <message>
            <source>(四捨五入)</source>
            <translation>(round off)</translation>
        </message>
        <message>
            <source>単位:千</source>
            <translation>Unit: 1,000</translation>
        </message>
        <message>
            <source>単位:100万</source>
            <translation>Unit: 1,000,000</translation>
        </message>
        <message>
            <source>集計表の縦または横が10,000行を超えています。表示に時間がかかりますが実行しますか？</source>
            <translation>The table has more than 10,000 rows or columns. Showing it takes time. Go on?</translation>
        </message>
        <message>
            <source>集計しています....</source>
            <translation>Aggregating....</translation>
        </message>
        <message>
            <source>集計に失敗しました。処理を中止します。[1]</source>
            <translation>The aggregation failed. Processing stops.[1]</translation>
        </message>
        <message>
            <source>処理を中止しました。</source>
            <translation>Processing stopped.</translation>
        </message>
        <message>
            <source>集計できませんでした。処理を中止します。</source>
            <translation>Nothing could be aggregated. Processing stops.</translation>
        </message>
        <message>
            <source>集計に作成に失敗しました。処理を中止します。[2]</source>
            <translation>The aggregation table could not be made. Processing stops.[2]</translation>
        </message>
        <message>
            <source>表を作成しています....</source>
            <translation>Making the table....</translation>
        </message>
        <message>
            <source>ドリルスルー</source>
            <translation>Drillthrew</translation>
        </message>
        <message>
            <source>フィルタ</source>
            <translation>Filter</translation>
        </message>
        <message>
            <source>フィルタ解除</source>
            <translation>Filter Release</translation>
        </message>
        <message>
            <source>計</source>
            <translation>Total</translation>
        </message>
        <message>
            <source>第%1条件の値が指定されていません。</source>
            <translation>Filter %1 has no value.</translation>
        </message>
        <message>
            <source>第%1条件のToの値が指定されていません。</source>
            <translation>Filter %1 has no To value.</translation>
        </message>
        <message>
            <source>条件が指定されていません。</source>
            <translation>No filter is given.</translation>
        </message>
        <message>
            <source>％順位値の算出</source>
            <translation>Value at a % order</translation>
        </message>
        <message>
            <source>％順位を指定してください</source>
            <translation>Please enter the % order</translation>
        </message>
        <message>
            <source>1.項目名:		</source>
            <translation>1.Item name:			</translation>
        </message>
        <message>
            <source>2.タイプ:		</source>
            <translation>2.Type:				</translation>
        </message>
        <message>
            <source>3.全ﾚｺｰﾄﾞ数:		</source>
            <translation>3.All records:			</translation>
        </message>
        <message>
            <source>4.ｴﾗｰﾚｺｰﾄﾞ数:		</source>
            <translation>4.Error records:		</translation>
        </message>
        <message>
            <source>5.ﾌﾞﾗﾝｸﾚｺｰﾄﾞ数:		</source>
            <translation>5.Blank records:		</translation>
        </message>
        <message>
            <source>6.通常ﾚｺｰﾄﾞ数:		</source>
            <translation>6.Ordinary records:		</translation>
        </message>
        <message>
            <source>7.通常値の種類:		</source>
            <translation>7.Ordinary values:		</translation>
        </message>
        <message>
            <source>8.通常値の最多数:	</source>
            <translation>8.Most records of a value:	</translation>
        </message>
        <message>
            <source>9.通常値の最小数:	</source>
            <translation>9.Fewest records of a value:	</translation>
        </message>
        <message>
            <source>10.最小定義値:		</source>
            <translation>10.Smallest value:		</translation>
        </message>
        <message>
            <source>11.最大定義値:		</source>
            <translation>11.Largest value:		</translation>
        </message>
        <message>
            <source>12.最小存在値:		</source>
            <translation>12.Smallest present value:	</translation>
        </message>
        <message>
            <source>13.最大存在値:		</source>
            <translation>13.Largest present value:	</translation>
        </message>
        <message>
            <source>14.合計値:		</source>
            <translation>14.Sum:				</translation>
        </message>
        <message>
            <source>15.平均値:		</source>
            <translation>15.Mean:			</translation>
        </message>
        <message>
            <source>16.標準偏差:		</source>
            <translation>16.Standard deviation:		</translation>
        </message>
        <message>
            <source>17.４分位値（下）:	</source>
            <translation>17.Lower quartile:		</translation>
        </message>
        <message>
            <source>18.中央値:		</source>
            <translation>18.Median:			</translation>
        </message>
        <message>
            <source>19.４分位値（上）:	</source>
            <translation>19.Upper quartile:		</translation>
        </message>
        <message>
            <source>14.親ﾚｺｰﾄﾞ数:		</source>
            <translation>14.Parent records:		</translation>
        </message>
        <message>
            <source>15.最小回答数:		</source>
            <translation>15.Fewest answers:		</translation>
        </message>
        <message>
            <source>16.最大回答数:		</source>
            <translation>16.Most answers:		</translation>
        </message>
        <message>
            <source>17.平均回答数:		</source>
            <translation>17.Mean answers:		</translation>
        </message>
        <message>
            <source>タイプ:</source>
            <translation>Type:</translation>
        </message>
        <message>
            <source>％順位[</source>
            <translation>% order[</translation>
        </message>
        <message>
            <source>値      </source>
            <translation>Value   </translation>
        </message>
        <message>
            <source>ｺｰﾄﾞ    </source>
            <translation>Code    </translation>
        </message>
        <message>
            <source>数値を入力してください</source>
            <translation>Please enter a number</translation>
        </message>
        <message>
            <source>0～100の範囲で入力してください</source>
            <translation>Please enter a number from 0 to 100</translation>
        </message>
        <message>
            <source>メモリーの確保に失敗しました。処理を中止します。</source>
            <translation>Not enough memory. Processing stops.</translation>
        </message>
        <message>
            <source>エクセルファイルの作成に失敗しました</source>
            <translation>The spreadsheet file could not be made</translation>
        </message>
        <message>
            <source>行数または列数がExcelのシートの上限を超えています。出力できません。</source>
            <translation>More rows or columns than a sheet holds. Cannot write them out.</translation>
        </message>
        <message>
            <source>CSVファイル(*.csv);;TEXTファイル(*.txt)</source>
            <translation>CSV file(*.csv);;TEXT file(*.txt)</translation>
        </message>
        <message>
            <source>ｾﾙ数[%1]は大きいのでﾊﾟｿｺﾝが止まる可能性があります
続行しますか？</source>
            <translation>The number of cells [%1] is large: the computer may stop responding
Go on?</translation>
        </message>
        <message>
            <source>ファイルの保存</source>
            <translation>Save file</translation>
        </message>
        <message>
            <source>値</source>
            <translation>Value</translation>
        </message>
        <message>
            <source>存在数</source>
            <translation>Count</translation>
        </message>
        <message>
            <source>グラフファイルの作成に失敗しました</source>
            <translation>The graph file could not be made</translation>
        </message>
        <message>
            <source>全てを選択</source>
            <translation>Select all</translation>
        </message>
        <message>
            <source>存在順に表示</source>
            <translation>Sort by count</translation>
        </message>
        <message>
            <source>逆順に表示</source>
            <translation>Reverse order</translation>
        </message>
        <message>
            <source>外す</source>
            <translation>Remove</translation>
        </message>
        <message>
            <source>選択範囲を外す</source>
            <translation>Remove the selection</translation>
        </message>
        <message>
            <source>選択範囲のみ外す</source>
            <translation>Remove only the selection</translation>
        </message>
        <message>
            <source>全てを外す</source>
            <translation>Remove all</translation>
        </message>
        <message>
            <source>値検索結果を外す</source>
            <translation>Remove the search results</translation>
        </message>
        <message>
            <source>値検索結果のみを外す</source>
            <translation>Remove only the search results</translation>
        </message>
        <message>
            <source>加える</source>
            <translation>Add</translation>
        </message>
        <message>
            <source>選択範囲を加える</source>
            <translation>Add the selection</translation>
        </message>
        <message>
            <source>選択範囲のみ加える</source>
            <translation>Add only the selection</translation>
        </message>
        <message>
            <source>全てを加える</source>
            <translation>Add all</translation>
        </message>
        <message>
            <source>値検索結果を加える</source>
            <translation>Add the search results</translation>
        </message>
        <message>
            <source>値検索結果のみを加える</source>
            <translation>Add only the search results</translation>
        </message>
        <message>
            <source>％表示桁数</source>
            <translation>Percent places</translation>
        </message>
    </context>
</TS>
