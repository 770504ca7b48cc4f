<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About...</source>
        <translation>Über...</translation>
    </message>
    <message>
        <source>App Name</source>
        <translation>Programmname</translation>
    </message>
    <message>
        <source>Version: 1.2.xxx</source>
        <translation>Version: 1.2.xxx</translation>
    </message>
    <message>
        <source>Website:</source>
        <translation>Website:</translation>
    </message>
    <message>
        <source>Support:</source>
        <translation>Support:</translation>
    </message>
    <message>
        <source>Sales:</source>
        <translation>Vertrieb:</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Korvel Jotwell</source>
        <translation>Korvel Jotwell</translation>
    </message>
</context>
<context>
    <name>Application</name>
    <message>
        <source>Unknown error</source>
        <translation>Unbekannter Fehler</translation>
    </message>
</context>
<context>
    <name>Artwork</name>
    <message>
        <source>Unable to read the picture &quot;%1&quot;: %2</source>
        <translation>Das Bild „%1“ kann nicht gelesen werden: %2</translation>
    </message>
</context>
<context>
    <name>AutoStart</name>
    <message>
        <source>Unable to write to %1</source>
        <translation>In %1 kann nicht geschrieben werden</translation>
    </message>
</context>
<context>
    <name>Cli</name>
    <message>
        <source>The memo is empty; nothing was stored.</source>
        <translation>Die Notiz ist leer; es wurde nichts gespeichert.</translation>
    </message>
    <message>
        <source>Backing up the database...</source>
        <translation>Die Datenbank wird gesichert...</translation>
    </message>
    <message>
        <source>File write failure!</source>
        <translation>Fehler beim Schreiben der Datei!</translation>
    </message>
    <message>
        <source>Reading the file...</source>
        <translation>Die Datei wird gelesen...</translation>
    </message>
    <message>
        <source>File read failure!</source>
        <translation>Fehler beim Lesen der Datei!</translation>
    </message>
    <message>
        <source>Restoring the database...</source>
        <translation>Die Datenbank wird wiederhergestellt...</translation>
    </message>
    <message>
        <source>Importing...</source>
        <translation>Import läuft...</translation>
    </message>
    <message>
        <source>Please select a memo!</source>
        <translation>Bitte wählen Sie eine Notiz aus!</translation>
    </message>
    <message>
        <source>File Write Failure !</source>
        <translation>Fehler beim Schreiben der Datei!</translation>
    </message>
    <message>
        <source>The memo database is damaged: %1</source>
        <translation>Die Notizdatenbank ist beschädigt: %1</translation>
    </message>
    <message>
        <source>%1 memos are out of the program&apos;s sight (under a missing memo, under themselves or under a sub-memo): %2</source>
        <translation>%1 Notizen sind für das Programm nicht sichtbar (unter einer fehlenden Notiz, unter sich selbst oder unter einer Unternotiz): %2</translation>
    </message>
    <message>
        <source>--replace ask needs a terminal on standard input; give all or none</source>
        <translation>--replace ask braucht ein Terminal auf der Standardeingabe; geben Sie all oder none an</translation>
    </message>
    <message>
        <source>unknown option %1</source>
        <translation>unbekannte Option %1</translation>
    </message>
    <message>
        <source>no command given</source>
        <translation>kein Befehl angegeben</translation>
    </message>
    <message>
        <source>unknown command %1</source>
        <translation>unbekannter Befehl %1</translation>
    </message>
    <message>
        <source>unexpected argument %1</source>
        <translation>unerwartetes Argument %1</translation>
    </message>
    <message>
        <source>%1 takes no option %2</source>
        <translation>%1 kennt keine Option %2</translation>
    </message>
    <message>
        <source>%1 needs %2</source>
        <translation>%1 braucht %2</translation>
    </message>
    <message>
        <source>the memo&apos;s text (or - for standard input)</source>
        <translation>den Text der Notiz (oder - für die Standardeingabe)</translation>
    </message>
    <message>
        <source>a file name</source>
        <translation>einen Dateinamen</translation>
    </message>
    <message>
        <source>restore needs --replace all, none or ask</source>
        <translation>restore braucht --replace all, none oder ask</translation>
    </message>
    <message>
        <source>a report file ends in .txt, .html or .htm</source>
        <translation>eine Berichtsdatei endet auf .txt, .html oder .htm</translation>
    </message>
    <message>
        <source>a memo&apos;s id and its text (or - for standard input)</source>
        <translation>die ID einer Notiz und ihren Text (oder - für die Standardeingabe)</translation>
    </message>
    <message>
        <source>a memo&apos;s id</source>
        <translation>die ID einer Notiz</translation>
    </message>
    <message>
        <source>Unable to write to standard output.</source>
        <translation>Auf die Standardausgabe kann nicht geschrieben werden.</translation>
    </message>
    <message>
        <source>Unable to read standard input.</source>
        <translation>Die Standardeingabe kann nicht gelesen werden.</translation>
    </message>
    <message>
        <source>No memo has the id %1.</source>
        <translation>Keine Notiz hat die ID %1.</translation>
    </message>
    <message>
        <source>The memo %1 is out of the program&apos;s sight; see the check command.</source>
        <translation>Die Notiz %1 ist für das Programm nicht sichtbar; siehe den Befehl check.</translation>
    </message>
    <message>
        <source>move needs --under ID or --top</source>
        <translation>move braucht --under ID oder --top</translation>
    </message>
    <message>
        <source>never</source>
        <translation>nie</translation>
    </message>
    <message>
        <source>Sync folder: %1</source>
        <translation>Sync-Ordner: %1</translation>
    </message>
    <message>
        <source>none</source>
        <translation>keiner</translation>
    </message>
    <message>
        <source>This database has never synced.</source>
        <translation>Diese Datenbank wurde noch nie synchronisiert.</translation>
    </message>
    <message>
        <source>Installation: %1</source>
        <translation>Installation: %1</translation>
    </message>
    <message>
        <source>Last round: %1</source>
        <translation>Letzter Abgleich: %1</translation>
    </message>
    <message>
        <source>Last round failed at %1: %2</source>
        <translation>Letzter Abgleich fehlgeschlagen am %1: %2</translation>
    </message>
    <message>
        <source>Other computers: %1</source>
        <translation>Andere Computer: %1</translation>
    </message>
    <message>
        <source>Changes not yet in the folder: %1</source>
        <translation>Noch nicht in den Ordner übertragene Änderungen: %1</translation>
    </message>
    <message>
        <source>No sync folder: give --folder DIR or set syncFolder in the [option] section of %1</source>
        <translation>Kein Sync-Ordner: Geben Sie --folder DIR an oder setzen Sie syncFolder im Abschnitt [option] von %1</translation>
    </message>
    <message>
        <source>Sent %1 changes, received %2.</source>
        <translation>%1 Änderungen gesendet, %2 empfangen.</translation>
    </message>
    <message>
        <source>The files of installation %1 hold a damaged record; its changes after it are not read.</source>
        <translation>Die Dateien der Installation %1 enthalten einen beschädigten Datensatz; ihre Änderungen danach werden nicht gelesen.</translation>
    </message>
    <message>
        <source>Usage: jotwell-cli [--data-dir DIR] COMMAND [ARGS]

Works on the memos of Korvel Jotwell, also while the program runs.

Commands:
  add TEXT [--under ID]          store a memo (TEXT - reads it from standard input);
                                 prints its id
  edit ID TEXT                   replace a memo&apos;s text (TEXT - reads standard input)
  delete ID                      delete a memo with its sub-memos
  move ID --under ID | --top     make a memo a sub-memo of another, or top-level
  list [--search TEXT] [--wide] [--ids] [--json]
                                 the memos as the program sorts them, one a line,
                                 sub-memos indented
  backup FILE.kvx                the whole database, as Database Backup writes it
  restore FILE.kvx --replace all|none|ask
                                 put a backup back; ask needs a terminal
  import FILE.kvx                add the file&apos;s memos as new ones
  export FILE.kvx [--search TEXT] [--wide]
  report FILE.txt|FILE.html [--search TEXT] [--wide]
                                 what Save All writes
  check                          the database&apos;s integrity, and every memo in sight
  sync [--folder DIR] [--status] one round of sync with the other computers through DIR
                                 (else [option] syncFolder in %1); --status
                                 tells how the last round went

  --help, --version

The data folder is DIR, else $JOTWELL_DATA_DIR, else the program&apos;s own.
Exit status: 0 done, 1 failed (one line on standard error), 2 usage error.
</source>
        <translation>Aufruf: jotwell-cli [--data-dir ORDNER] BEFEHL [ARGUMENTE]

Arbeitet mit den Notizen von Korvel Jotwell, auch während das Programm läuft.

Befehle:
  add TEXT [--under ID]          eine Notiz speichern (TEXT - liest sie von der
                                 Standardeingabe); gibt ihre ID aus
  edit ID TEXT                   den Text einer Notiz ersetzen (TEXT - liest die
                                 Standardeingabe)
  delete ID                      eine Notiz mit ihren Unternotizen löschen
  move ID --under ID | --top     eine Notiz zur Unternotiz einer anderen machen,
                                 oder zur Notiz der obersten Ebene
  list [--search TEXT] [--wide] [--ids] [--json]
                                 die Notizen, wie das Programm sie sortiert, eine
                                 je Zeile, Unternotizen eingerückt
  backup DATEI.kvx               die ganze Datenbank sichern, wie es
                                 „Datenbank sichern“ tut
  restore DATEI.kvx --replace all|none|ask
                                 eine Sicherung wiederherstellen; ask braucht ein
                                 Terminal
  import DATEI.kvx               die Notizen der Datei als neue hinzufügen
  export DATEI.kvx [--search TEXT] [--wide]
  report DATEI.txt|DATEI.html [--search TEXT] [--wide]
                                 was „Alle speichern“ schreibt
  check                          die Unversehrtheit der Datenbank, und ob jede
                                 Notiz sichtbar ist
  sync [--folder ORDNER] [--status]
                                 ein Abgleich mit den anderen Computern über
                                 ORDNER (sonst [option] syncFolder in %1);
                                 --status sagt, wie der letzte Abgleich verlief

  --help, --version

Der Datenordner ist ORDNER, sonst $JOTWELL_DATA_DIR, sonst der des Programms.
Rückgabewert: 0 erledigt, 1 fehlgeschlagen (eine Zeile auf der Standardfehlerausgabe),
2 falscher Aufruf.
</translation>
    </message>
</context>
<context>
    <name>CommonActions</name>
    <message>
        <source>&amp;Options...</source>
        <translation>&amp;Optionen...</translation>
    </message>
    <message>
        <source>S&amp;tay on top</source>
        <translation>Immer im &amp;Vordergrund</translation>
    </message>
    <message>
        <source>&amp;Open Korvel Jotwell</source>
        <translation>Korvel Jotwell ö&amp;ffnen</translation>
    </message>
    <message>
        <source>&amp;Close            Ctrl+F12</source>
        <translation>S&amp;chließen            Strg+F12</translation>
    </message>
    <message>
        <source>&amp;Contents</source>
        <translation>&amp;Inhalt</translation>
    </message>
    <message>
        <source>Help Contents</source>
        <translation>Inhalt der Hilfe</translation>
    </message>
    <message>
        <source>C&amp;ontact Technical Support</source>
        <translation>&amp;Technischen Support kontaktieren</translation>
    </message>
    <message>
        <source>&amp;Make a Suggestion</source>
        <translation>&amp;Vorschlag machen</translation>
    </message>
    <message>
        <source>&amp;Visit Korvel Website</source>
        <translation>Korvel-&amp;Website besuchen</translation>
    </message>
    <message>
        <source>Check for &amp;Update</source>
        <translation>Nach &amp;Updates suchen</translation>
    </message>
    <message>
        <source>Get Free Resources</source>
        <translation>Kostenlose Ressourcen</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>Ü&amp;ber</translation>
    </message>
</context>
<context>
    <name>Database</name>
    <message>
        <source>Unable to open the memo database &quot;%1&quot;: %2</source>
        <translation>Die Notizdatenbank „%1“ kann nicht geöffnet werden: %2</translation>
    </message>
    <message>
        <source>the file is read-only and holds no memo tables</source>
        <translation>die Datei ist schreibgeschützt und enthält keine Notiztabellen</translation>
    </message>
    <message>
        <source>The memo database is not open.</source>
        <translation>Die Notizdatenbank ist nicht geöffnet.</translation>
    </message>
</context>
<context>
    <name>EditSession</name>
    <message>
        <source>Its memo is not stored yet.</source>
        <translation>Die übergeordnete Notiz ist noch nicht gespeichert.</translation>
    </message>
</context>
<context>
    <name>ExchangeCommands</name>
    <message>
        <source>Backing up the database...</source>
        <translation>Die Datenbank wird gesichert...</translation>
    </message>
    <message>
        <source>File write failure!</source>
        <translation>Fehler beim Schreiben der Datei!</translation>
    </message>
    <message>
        <source>Reading the file was stopped.</source>
        <translation>Das Lesen der Datei wurde abgebrochen.</translation>
    </message>
    <message>
        <source>More records of this file may lack attributes; they will not be reported one by one.
Go on reading the file?</source>
        <translation>Weiteren Datensätzen dieser Datei können Attribute fehlen; sie werden nicht einzeln gemeldet.
Mit dem Lesen der Datei fortfahren?</translation>
    </message>
    <message>
        <source>

%1 memos and %2 tasks were stored before the run ended.</source>
        <translation>

%1 Notizen und %2 Aufgaben waren bereits gespeichert, als der Vorgang abbrach.</translation>
    </message>
    <message>
        <source>Reading the file...</source>
        <translation>Die Datei wird gelesen...</translation>
    </message>
    <message>
        <source>File read failure!</source>
        <translation>Fehler beim Lesen der Datei!</translation>
    </message>
    <message>
        <source>Restoring the database...</source>
        <translation>Die Datenbank wird wiederhergestellt...</translation>
    </message>
    <message>
        <source>Importing...</source>
        <translation>Import läuft...</translation>
    </message>
    <message>
        <source>

Nothing was stored.</source>
        <translation>

Es wurde nichts gespeichert.</translation>
    </message>
    <message>
        <source>Korvel Database, (*.kvx)</source>
        <extracomment>A file type; the patterns in brackets stay as they are.</extracomment>
        <translation>Korvel-Datenbank (*.kvx)</translation>
    </message>
</context>
<context>
    <name>ExchangeContainer</name>
    <message>
        <source>The file is too short to be an exchange file</source>
        <translation>Die Datei ist zu kurz für eine Austauschdatei</translation>
    </message>
    <message>
        <source>The exchange file&apos;s length field does not fit its content</source>
        <translation>Das Längenfeld der Austauschdatei passt nicht zu ihrem Inhalt</translation>
    </message>
    <message>
        <source>Unable to start the decompressor</source>
        <translation>Das Entpacken kann nicht gestartet werden</translation>
    </message>
    <message>
        <source>The exchange file&apos;s data is damaged or shorter than its length field says</source>
        <translation>Die Daten der Austauschdatei sind beschädigt oder kürzer, als ihr Längenfeld angibt</translation>
    </message>
    <message>
        <source>The exchange file&apos;s data is damaged or does not match its length field</source>
        <translation>Die Daten der Austauschdatei sind beschädigt oder passen nicht zu ihrem Längenfeld</translation>
    </message>
    <message>
        <source>Unable to write %1</source>
        <translation>%1 kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>Unable to read %1: %2</source>
        <translation>%1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>The file is too large to be an exchange file</source>
        <translation>Die Datei ist zu groß für eine Austauschdatei</translation>
    </message>
</context>
<context>
    <name>ExchangeReader</name>
    <message>
        <source>Data mismatch: </source>
        <translation>Daten passen nicht: </translation>
    </message>
</context>
<context>
    <name>HelpViewer</name>
    <message>
        <source>The help cannot be shown: unable to write the help page to %1</source>
        <translation>Die Hilfe kann nicht angezeigt werden: Die Hilfeseite kann nicht nach %1 geschrieben werden</translation>
    </message>
</context>
<context>
    <name>IsoTime</name>
    <message>
        <source>&apos;%1&apos; is not a valid ISO 8601 date and time</source>
        <translation>„%1“ ist keine gültige Datums- und Zeitangabe nach ISO 8601</translation>
    </message>
</context>
<context>
    <name>MailMessage</name>
    <message>
        <source>User Abort</source>
        <translation>Abbruch durch den Benutzer</translation>
    </message>
    <message>
        <source>General Failure</source>
        <translation>Allgemeiner Fehler</translation>
    </message>
    <message>
        <source>Login Failure</source>
        <translation>Anmeldung fehlgeschlagen</translation>
    </message>
    <message>
        <source>Disk Full</source>
        <translation>Datenträger voll</translation>
    </message>
    <message>
        <source>Insufficient Memory</source>
        <translation>Nicht genügend Speicher</translation>
    </message>
    <message>
        <source>Access Denied</source>
        <translation>Zugriff verweigert</translation>
    </message>
    <message>
        <source>Too Many Sessions</source>
        <translation>Zu viele Sitzungen</translation>
    </message>
    <message>
        <source>Too Many Files</source>
        <translation>Zu viele Dateien</translation>
    </message>
    <message>
        <source>Too Many Recipients</source>
        <translation>Zu viele Empfänger</translation>
    </message>
    <message>
        <source>Attachment Not Found</source>
        <translation>Anhang nicht gefunden</translation>
    </message>
    <message>
        <source>Attachment Open Failure</source>
        <translation>Anhang kann nicht geöffnet werden</translation>
    </message>
    <message>
        <source>Attachment Write Failure</source>
        <translation>Anhang kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>Unknown Recipient</source>
        <translation>Unbekannter Empfänger</translation>
    </message>
    <message>
        <source>Bad Recipient Type</source>
        <translation>Ungültiger Empfängertyp</translation>
    </message>
    <message>
        <source>No Messages</source>
        <translation>Keine Nachrichten</translation>
    </message>
    <message>
        <source>Invalid Message</source>
        <translation>Ungültige Nachricht</translation>
    </message>
    <message>
        <source>Text Too Large</source>
        <translation>Text zu lang</translation>
    </message>
    <message>
        <source>Invalid Session</source>
        <translation>Ungültige Sitzung</translation>
    </message>
    <message>
        <source>Type Not Supported</source>
        <translation>Typ nicht unterstützt</translation>
    </message>
    <message>
        <source>Ambiguous Recipient</source>
        <translation>Mehrdeutiger Empfänger</translation>
    </message>
    <message>
        <source>Message In Use</source>
        <translation>Nachricht wird verwendet</translation>
    </message>
    <message>
        <source>Network Failure</source>
        <translation>Netzwerkfehler</translation>
    </message>
    <message>
        <source>Invalid Edit Fields</source>
        <translation>Ungültige Eingabefelder</translation>
    </message>
    <message>
        <source>Invalid Recipients</source>
        <translation>Ungültige Empfänger</translation>
    </message>
    <message>
        <source>Feature Not Supported</source>
        <translation>Funktion nicht unterstützt</translation>
    </message>
    <message>
        <source>Unknown Error</source>
        <translation>Unbekannter Fehler</translation>
    </message>
    <message>
        <source>MAPI: %1. ErrorCode = %2</source>
        <translation>MAPI: %1. Fehlercode = %2</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Database &amp;Backup...</source>
        <translation>Datenbank &amp;sichern...</translation>
    </message>
    <message>
        <source>Database &amp;Restore...</source>
        <translation>Datenbank &amp;wiederherstellen...</translation>
    </message>
    <message>
        <source>&amp;Import</source>
        <translation>&amp;Importieren</translation>
    </message>
    <message>
        <source>&amp;Add Memo</source>
        <translation>Notiz &amp;hinzufügen</translation>
    </message>
    <message>
        <source>Paste To &amp;Memo</source>
        <translation>Als Notiz &amp;einfügen</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>The memo database &quot;%1&quot; is read-only: your memos are shown, but changes cannot be stored.</source>
        <translation>Die Notizdatenbank „%1“ ist schreibgeschützt: Ihre Notizen werden angezeigt, aber Änderungen können nicht gespeichert werden.</translation>
    </message>
    <message>
        <source>
The built-in pictures are used instead.</source>
        <translation>
Stattdessen werden die eingebauten Bilder verwendet.</translation>
    </message>
    <message>
        <source>Click here to open!</source>
        <translation>Zum Öffnen hier klicken!</translation>
    </message>
    <message>
        <source>Another program is using the memo database &quot;%1&quot;. Your memos are shown as soon as it lets go of the file.</source>
        <translation>Ein anderes Programm verwendet die Notizdatenbank „%1“. Ihre Notizen werden angezeigt, sobald es die Datei freigibt.</translation>
    </message>
    <message>
        <source>Korvel Database,  (*.kvx)</source>
        <extracomment>A file type; the patterns in brackets stay as they are.</extracomment>
        <translation>Korvel-Datenbank (*.kvx)</translation>
    </message>
    <message numerus="yes">
        <source>%n memo(s) you typed could not be stored: the database does not take them now.
Exit anyway and lose them?</source>
        <translation>
            <numerusform>%n von Ihnen eingegebene Notiz konnte nicht gespeichert werden: Die Datenbank nimmt sie derzeit nicht an.
Trotzdem beenden und die Notiz verlieren?</numerusform>
            <numerusform>%n von Ihnen eingegebene Notizen konnten nicht gespeichert werden: Die Datenbank nimmt sie derzeit nicht an.
Trotzdem beenden und die Notizen verlieren?</numerusform>
        </translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>&amp;Memos</source>
        <translation>&amp;Notizen</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
</context>
<context>
    <name>MemoActions</name>
    <message>
        <source>&amp;Add Memo          Enter</source>
        <translation>Notiz &amp;hinzufügen          Eingabe</translation>
    </message>
    <message>
        <source>Add Memo</source>
        <translation>Notiz hinzufügen</translation>
    </message>
    <message>
        <source>Add &amp;Sub-Memo    Ctrl+Enter</source>
        <translation>&amp;Unternotiz hinzufügen    Strg+Eingabe</translation>
    </message>
    <message>
        <source>Add Sub-Memo</source>
        <translation>Unternotiz hinzufügen</translation>
    </message>
    <message>
        <source>&amp;Edit              F2</source>
        <translation>&amp;Bearbeiten                F2</translation>
    </message>
    <message>
        <source>Edit Memo or Sub-Memo</source>
        <translation>Notiz oder Unternotiz bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>Delete Memo or Sub-Memo</source>
        <translation>Notiz oder Unternotiz löschen</translation>
    </message>
    <message>
        <source>Sort Direction</source>
        <translation>Sortierrichtung</translation>
    </message>
    <message>
        <source>View &amp;List</source>
        <translation>&amp;Listenansicht</translation>
    </message>
    <message>
        <source>List view memos</source>
        <translation>Notizen als Liste anzeigen</translation>
    </message>
    <message>
        <source>&amp;Move</source>
        <translation>&amp;Verschieben</translation>
    </message>
    <message>
        <source>&amp;Expand All</source>
        <translation>Alle &amp;aufklappen</translation>
    </message>
    <message>
        <source>Expand all</source>
        <translation>Alle aufklappen</translation>
    </message>
    <message>
        <source>&amp;Collapse All</source>
        <translation>Alle &amp;zuklappen</translation>
    </message>
    <message>
        <source>Collapse all</source>
        <translation>Alle zuklappen</translation>
    </message>
    <message>
        <source>Select &amp;All        Ctrl+A</source>
        <translation>&amp;Alles auswählen          Strg+A</translation>
    </message>
    <message>
        <source>&amp;Deselect</source>
        <translation>Auswahl au&amp;fheben</translation>
    </message>
    <message>
        <source>&amp;Copy              Ctrl+C</source>
        <translation>&amp;Kopieren                 Strg+C</translation>
    </message>
    <message>
        <source>&amp;Paste             Ctrl+V</source>
        <translation>&amp;Einfügen                 Strg+V</translation>
    </message>
    <message>
        <source>&amp;Export...</source>
        <translation>&amp;Exportieren...</translation>
    </message>
    <message>
        <source>E-mai&amp;l Memo...</source>
        <translation>Notiz per E-&amp;Mail senden...</translation>
    </message>
    <message>
        <source>Sa&amp;ve Memo...</source>
        <translation>Notiz &amp;speichern...</translation>
    </message>
    <message>
        <source>&amp;Save All...</source>
        <translation>&amp;Alle speichern...</translation>
    </message>
    <message>
        <source>&amp;Print...</source>
        <translation>&amp;Drucken...</translation>
    </message>
    <message>
        <source>View all sub-Memos in search result</source>
        <translation>Alle Unternotizen im Suchergebnis anzeigen</translation>
    </message>
    <message>
        <source>Descending Sort</source>
        <translation>Absteigend sortieren</translation>
    </message>
    <message>
        <source>Ascending Sort</source>
        <translation>Aufsteigend sortieren</translation>
    </message>
</context>
<context>
    <name>MemoController</name>
    <message>
        <source>Expand All</source>
        <translation>Alle aufklappen</translation>
    </message>
    <message>
        <source>Collapse All</source>
        <translation>Alle zuklappen</translation>
    </message>
    <message>
        <source>Are you sure you want to delete </source>
        <translation>Möchten Sie wirklich </translation>
    </message>
    <message>
        <source>this memo?</source>
        <translation>diese Notiz löschen?</translation>
    </message>
    <message>
        <source>these memos?</source>
        <translation>diese Notizen löschen?</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>This memo is not stored yet. Memos can be moved into it once it is.</source>
        <translation>Diese Notiz ist noch nicht gespeichert. Notizen können in sie verschoben werden, sobald sie gespeichert ist.</translation>
    </message>
    <message>
        <source>Move</source>
        <translation>Verschieben</translation>
    </message>
    <message>
        <source>Drop</source>
        <translation>Ablegen</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Einfügen</translation>
    </message>
</context>
<context>
    <name>MemoEditor</name>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Bearbeiten</translation>
    </message>
    <message>
        <source>Please select a memo!</source>
        <translation>Bitte wählen Sie eine Notiz aus!</translation>
    </message>
    <message>
        <source>This memo is not stored yet. Its sub-memos can be added once it is.</source>
        <translation>Diese Notiz ist noch nicht gespeichert. Unternotizen können ihr hinzugefügt werden, sobald sie gespeichert ist.</translation>
    </message>
</context>
<context>
    <name>MemoHistory</name>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Wiederholen</translation>
    </message>
    <message>
        <source>&amp;Undo %1</source>
        <translation>&amp;Rückgängig: %1</translation>
    </message>
    <message>
        <source>&amp;Redo %1</source>
        <translation>&amp;Wiederholen: %1</translation>
    </message>
    <message>
        <source>Undo %1</source>
        <translation>Rückgängig: %1</translation>
    </message>
    <message>
        <source>Redo %1</source>
        <translation>Wiederholen: %1</translation>
    </message>
    <message>
        <source>%1 failed: %2
The memos were left as they were.</source>
        <translation>%1 fehlgeschlagen: %2
Die Notizen blieben unverändert.</translation>
    </message>
</context>
<context>
    <name>MemoMailer</name>
    <message>
        <source>No mail program could take the message. You can send Memos.html and Memos.kvx from %1.</source>
        <translation>Kein E-Mail-Programm konnte die Nachricht übernehmen. Sie können Memos.html und Memos.kvx aus %1 versenden.</translation>
    </message>
    <message>
        <source>Memos</source>
        <translation>Notizen</translation>
    </message>
    <message>
        <source>Memos.html: HTML file, you can open it with website browser.</source>
        <translation>Memos.html: HTML-Datei, sie lässt sich mit einem Webbrowser öffnen.</translation>
    </message>
    <message>
        <source>Memos.kvx: Korvel data file, you can import it into Korvel software directly.</source>
        <translation>Memos.kvx: Korvel-Datendatei, sie lässt sich direkt in Korvel-Programme importieren.</translation>
    </message>
</context>
<context>
    <name>MemoOutput</name>
    <message>
        <source>File write failure!</source>
        <translation>Fehler beim Schreiben der Datei!</translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>Die Datei %1 ist bereits vorhanden.
Möchten Sie sie ersetzen?</translation>
    </message>
    <message>
        <source>Unable to print: the printer cannot be opened.</source>
        <translation>Drucken nicht möglich: Der Drucker kann nicht geöffnet werden.</translation>
    </message>
    <message>
        <source>File Write Failure !</source>
        <translation>Fehler beim Schreiben der Datei!</translation>
    </message>
    <message>
        <source>Please select a memo!</source>
        <translation>Bitte wählen Sie eine Notiz aus!</translation>
    </message>
    <message>
        <source>Text file (*.txt)</source>
        <extracomment>A file type; the patterns in brackets stay as they are.</extracomment>
        <translation>Textdatei (*.txt)</translation>
    </message>
    <message>
        <source>HTML file (*.htm *.html)</source>
        <extracomment>A file type; the patterns in brackets stay as they are.</extracomment>
        <translation>HTML-Datei (*.htm *.html)</translation>
    </message>
</context>
<context>
    <name>MemoPane</name>
    <message>
        <source>Memos</source>
        <translation>Notizen</translation>
    </message>
    <message>
        <source>Double click to add a Memo!</source>
        <translation>Doppelklicken, um eine Notiz hinzuzufügen!</translation>
    </message>
</context>
<context>
    <name>MemoRowPainter</name>
    <message>
        <source>Input content here</source>
        <translation>Inhalt hier eingeben</translation>
    </message>
</context>
<context>
    <name>MemoStatusBar</name>
    <message>
        <source>Ctrl+Enter: Finish edit.</source>
        <translation>Strg+Eingabe: Bearbeitung abschließen.</translation>
    </message>
    <message>
        <source>Esc: Cancel edit.</source>
        <translation>Esc: Bearbeitung abbrechen.</translation>
    </message>
    <message>
        <source>Mouse double click blank: shortcut add.</source>
        <translation>Doppelklick auf eine freie Stelle: schnell hinzufügen.</translation>
    </message>
    <message>
        <source>Enter: add a new item.</source>
        <translation>Eingabe: neue Notiz hinzufügen.</translation>
    </message>
    <message>
        <source>Ctrl+Enter: add a new Child item.</source>
        <translation>Strg+Eingabe: neue Unternotiz hinzufügen.</translation>
    </message>
    <message>
        <source>Ctrl+F12: Minimize window.</source>
        <translation>Strg+F12: Fenster minimieren.</translation>
    </message>
    <message>
        <source>Tip</source>
        <translation>Hinweis</translation>
    </message>
    <message>
        <source> created</source>
        <translation> erstellt</translation>
    </message>
    <message numerus="yes">
        <source>%n memo(s) not stored yet: stored as soon as the database takes them.</source>
        <translation>
            <numerusform>%n Notiz noch nicht gespeichert: Sie wird gespeichert, sobald die Datenbank sie annimmt.</numerusform>
            <numerusform>%n Notizen noch nicht gespeichert: Sie werden gespeichert, sobald die Datenbank sie annimmt.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>MemoSteps</name>
    <message>
        <source>Import</source>
        <translation>Importieren</translation>
    </message>
</context>
<context>
    <name>MemoStore</name>
    <message>
        <source>The memo is no longer in the memo database.</source>
        <translation>Die Notiz ist nicht mehr in der Notizdatenbank.</translation>
    </message>
</context>
<context>
    <name>MoveToMenu</name>
    <message>
        <source>&amp;Move to</source>
        <translation>&amp;Verschieben nach</translation>
    </message>
    <message>
        <source>Root</source>
        <translation>Oberste Ebene</translation>
    </message>
</context>
<context>
    <name>OptionsDialog</name>
    <message>
        <source>Options</source>
        <translation>Optionen</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>&amp;Start when I log in</source>
        <translation>Beim &amp;Anmelden starten</translation>
    </message>
    <message>
        <source>&amp;Run program minimized</source>
        <translation>Programm &amp;minimiert starten</translation>
    </message>
    <message>
        <source>&amp;Add new item while open</source>
        <translation>Beim Öffnen eine neue &amp;Notiz hinzufügen</translation>
    </message>
    <message>
        <source>S&amp;ync with my other computers through this folder, which a file-sync program keeps alike on each of them (empty: no sync):</source>
        <translation>Mit meinen anderen Computern über diesen Ordner &amp;synchronisieren, den ein Dateisynchronisationsprogramm auf allen gleich hält (leer: keine Synchronisation):</translation>
    </message>
    <message>
        <source>No sync</source>
        <translation>Keine Synchronisation</translation>
    </message>
    <message>
        <source>&amp;Choose...</source>
        <translation>A&amp;uswählen...</translation>
    </message>
    <message>
        <source>Sync Folder</source>
        <translation>Sync-Ordner</translation>
    </message>
</context>
<context>
    <name>ParallelDeflate</name>
    <message>
        <source>Unable to compress the exchange file</source>
        <translation>Die Austauschdatei kann nicht komprimiert werden</translation>
    </message>
    <message>
        <source>The text is too large for an exchange file</source>
        <translation>Der Text ist zu groß für eine Austauschdatei</translation>
    </message>
</context>
<context>
    <name>ProgramCommandLine</name>
    <message>
        <source>Korvel Jotwell keeps short memos in a two-level list.</source>
        <translation>Korvel Jotwell verwaltet kurze Notizen in einer Liste mit zwei Ebenen.</translation>
    </message>
    <message>
        <source>Show this help and end.</source>
        <translation>Diese Hilfe anzeigen und beenden.</translation>
    </message>
    <message>
        <source>Show the version and end.</source>
        <translation>Die Version anzeigen und beenden.</translation>
    </message>
    <message>
        <source>Usage: jotwell [--data-dir DIR]</source>
        <translation>Aufruf: jotwell [--data-dir DIR]</translation>
    </message>
    <message>
        <source>unexpected argument %1</source>
        <translation>unerwartetes Argument %1</translation>
    </message>
</context>
<context>
    <name>ProgramFolder</name>
    <message>
        <source>Unable to create the data folder %1</source>
        <translation>Der Datenordner %1 kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>Keep the memos and settings in DIR.</source>
        <translation>Die Notizen und Einstellungen in DIR ablegen.</translation>
    </message>
    <message>
        <source>--data-dir needs a folder</source>
        <translation>--data-dir braucht einen Ordner</translation>
    </message>
</context>
<context>
    <name>Prompts</name>
    <message>
        <source>Ask</source>
        <translation>Frage</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>Tip</source>
        <translation>Hinweis</translation>
    </message>
</context>
<context>
    <name>ReplaceDialog</name>
    <message>
        <source>Confirm Replace</source>
        <translation>Ersetzen bestätigen</translation>
    </message>
    <message>
        <source>with this one?</source>
        <translation>durch diesen ersetzen?</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>&amp;Ja</translation>
    </message>
    <message>
        <source>&amp;All</source>
        <translation>&amp;Alle</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>&amp;Nein</translation>
    </message>
    <message>
        <source>A&amp;bort</source>
        <translation>A&amp;bbrechen</translation>
    </message>
    <message>
        <source>Would you like to replace the existing </source>
        <translation>Möchten Sie den vorhandenen Eintrag vom Typ </translation>
    </message>
    <message>
        <source>modified: </source>
        <translation>geändert: </translation>
    </message>
</context>
<context>
    <name>SearchBar</name>
    <message>
        <source>Input search string</source>
        <translation>Suchbegriff eingeben</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>  Search...</source>
        <translation>  Suchen...</translation>
    </message>
    <message>
        <source>Clear search</source>
        <translation>Suche leeren</translation>
    </message>
</context>
<context>
    <name>SettingsFile</name>
    <message>
        <source>Unable to write to %1</source>
        <translation>In %1 kann nicht geschrieben werden</translation>
    </message>
</context>
<context>
    <name>SingleInstance</name>
    <message>
        <source>Korvel Jotwell cannot listen on %1 (%2); it starts without noticing a second start.</source>
        <translation>Korvel Jotwell kann nicht auf Verbindungen an %1 warten (%2); es startet, ohne einen weiteren Start zu bemerken.</translation>
    </message>
</context>
<context>
    <name>Statement</name>
    <message>
        <source>The %1 is too long to be stored: %2 bytes, where the memo database takes at most %3.</source>
        <translation>Das Feld %1 ist zu lang zum Speichern: %2 Bytes, die Notizdatenbank nimmt höchstens %3 auf.</translation>
    </message>
    <message>
        <source>The row is too long to be stored: the memo database takes at most %1 bytes in one row.</source>
        <translation>Die Zeile ist zu lang zum Speichern: Die Notizdatenbank nimmt in einer Zeile höchstens %1 Bytes auf.</translation>
    </message>
</context>
<context>
    <name>Sync</name>
    <message>
        <source>Unable to write to %1</source>
        <translation>In %1 kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>The sync folder %1 does not exist.</source>
        <translation>Der Sync-Ordner %1 ist nicht vorhanden.</translation>
    </message>
    <message>
        <source>The sync folder %1 holds the memo database, which a file-sync program would damage: choose a folder of its own.</source>
        <translation>Der Sync-Ordner %1 enthält die Notizdatenbank, die ein Dateisynchronisationsprogramm beschädigen würde: Wählen Sie einen eigenen Ordner.</translation>
    </message>
</context>
<context>
    <name>SyncRunner</name>
    <message>
        <source>Sync failed at %1</source>
        <translation>Synchronisation um %1 fehlgeschlagen</translation>
    </message>
    <message>
        <source>Synced at %1</source>
        <translation>Synchronisiert um %1</translation>
    </message>
    <message>
        <source>%1
It is tried again in a while.</source>
        <translation>%1
Es wird in Kürze erneut versucht.</translation>
    </message>
</context>
<context>
    <name>TipPanel</name>
    <message>
        <source>Click here to finish Edit. Press Esc cancel.</source>
        <translation>Hier klicken, um die Bearbeitung abzuschließen. Esc bricht ab.</translation>
    </message>
    <message>
        <source>Click here to Add a new Item.</source>
        <translation>Hier klicken, um eine neue Notiz hinzuzufügen.</translation>
    </message>
    <message>
        <source>Search no result</source>
        <translation>Die Suche ergab keine Treffer</translation>
    </message>
    <message>
        <source>Tip</source>
        <translation>Hinweis</translation>
    </message>
</context>
<context>
    <name>TrayIcon</name>
    <message>
        <source>Korvel TrayIcon Error</source>
        <translation>Korvel: Fehler im Infobereich</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Schließen</translation>
    </message>
    <message>
        <source>&amp;Restore</source>
        <translation>&amp;Wiederherstellen</translation>
    </message>
    <message>
        <source>AddToTray can not add icon to the tray</source>
        <translation>AddToTray: Das Symbol kann dem Infobereich nicht hinzugefügt werden</translation>
    </message>
    <message>
        <source>ResetIcon Error</source>
        <translation>ResetIcon: Fehler</translation>
    </message>
    <message>
        <source>SetHint Error</source>
        <translation>SetHint: Fehler</translation>
    </message>
    <message>
        <source>SetShowHint Error</source>
        <translation>SetShowHint: Fehler</translation>
    </message>
    <message>
        <source>SetImageIndex: No image list assigned</source>
        <translation>SetImageIndex: Keine Bildliste zugewiesen</translation>
    </message>
</context>
<context>
    <name>UpdateDialog</name>
    <message>
        <source>Korvel Update</source>
        <translation>Korvel-Aktualisierung</translation>
    </message>
    <message>
        <source>Updates are published on the Korvel website.</source>
        <translation>Aktualisierungen werden auf der Korvel-Website veröffentlicht.</translation>
    </message>
    <message>
        <source>Would you like to see more information about these updates and how to obtain them? </source>
        <translation>Möchten Sie mehr über diese Aktualisierungen erfahren und wie Sie sie erhalten? </translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>&amp;Ja</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>&amp;Nein</translation>
    </message>
    <message>
        <source>&amp;Do not ask me again.</source>
        <translation>Nicht &amp;mehr fragen.</translation>
    </message>
</context>
<context>
    <name>WindowPlacement</name>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
</context>
<context>
    <name>XmlNavigator</name>
    <message>
        <source>&apos;%1&apos; is not a valid integer value</source>
        <translation>„%1“ ist keine gültige ganze Zahl</translation>
    </message>
    <message>
        <source>XML error at offset %1: %2</source>
        <translation>XML-Fehler an Position %1: %2</translation>
    </message>
    <message>
        <source> not Exist !</source>
        <translation> nicht vorhanden!</translation>
    </message>
</context>
</TS>
