<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>App Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Version: 1.2.xxx</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Website:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Support:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sales:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Korvel Jotwell</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Application</name>
    <message>
        <source>Unknown error</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Artwork</name>
    <message>
        <source>Unable to read the picture &quot;%1&quot;: %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>AutoStart</name>
    <message>
        <source>Unable to write to %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Cli</name>
    <message>
        <source>The memo is empty; nothing was stored.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Backing up the database...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File write failure!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reading the file...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File read failure!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restoring the database...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Importing...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please select a memo!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File Write Failure !</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The memo database is damaged: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 memos are out of the program&apos;s sight (under a missing memo, under themselves or under a sub-memo): %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--replace ask needs a terminal on standard input; give all or none</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unknown option %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no command given</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unknown command %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unexpected argument %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 takes no option %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 needs %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the memo&apos;s text (or - for standard input)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a file name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>restore needs --replace all, none or ask</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a report file ends in .txt, .html or .htm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a memo&apos;s id and its text (or - for standard input)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a memo&apos;s id</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unable to write to standard output.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unable to read standard input.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No memo has the id %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The memo %1 is out of the program&apos;s sight; see the check command.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>move needs --under ID or --top</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>never</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sync folder: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>none</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This database has never synced.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Installation: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Last round: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Last round failed at %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Other computers: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Changes not yet in the folder: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No sync folder: give --folder DIR or set syncFolder in the [option] section of %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sent %1 changes, received %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The files of installation %1 hold a damaged record; its changes after it are not read.</source>
        <translation type="unfinished"></translation>
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
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CommonActions</name>
    <message>
        <source>&amp;Options...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>S&amp;tay on top</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Open Korvel Jotwell</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Close            Ctrl+F12</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Contents</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Help Contents</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>C&amp;ontact Technical Support</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Make a Suggestion</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Visit Korvel Website</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Check for &amp;Update</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Get Free Resources</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Database</name>
    <message>
        <source>Unable to open the memo database &quot;%1&quot;: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the file is read-only and holds no memo tables</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The memo database is not open.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>EditSession</name>
    <message>
        <source>Its memo is not stored yet.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ExchangeCommands</name>
    <message>
        <source>Korvel Database, (*.kvx)</source>
        <extracomment>A file type; the patterns in brackets stay as they are.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Backing up the database...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File write failure!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reading the file was stopped.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>More records of this file may lack attributes; they will not be reported one by one.
Go on reading the file?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>

%1 memos and %2 tasks were stored before the run ended.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reading the file...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File read failure!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restoring the database...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Importing...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>

Nothing was stored.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ExchangeContainer</name>
    <message>
        <source>The file is too short to be an exchange file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The exchange file&apos;s length field does not fit its content</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unable to start the decompressor</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The exchange file&apos;s data is damaged or shorter than its length field says</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The exchange file&apos;s data is damaged or does not match its length field</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unable to write %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unable to read %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file is too large to be an exchange file</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ExchangeReader</name>
    <message>
        <source>Data mismatch: </source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>HelpViewer</name>
    <message>
        <source>The help cannot be shown: unable to write the help page to %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>IsoTime</name>
    <message>
        <source>&apos;%1&apos; is not a valid ISO 8601 date and time</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MailMessage</name>
    <message>
        <source>User Abort</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>General Failure</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Login Failure</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Disk Full</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Insufficient Memory</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Access Denied</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Too Many Sessions</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Too Many Files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Too Many Recipients</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Attachment Not Found</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Attachment Open Failure</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Attachment Write Failure</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unknown Recipient</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bad Recipient Type</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No Messages</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Invalid Message</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Text Too Large</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Invalid Session</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Type Not Supported</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ambiguous Recipient</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Message In Use</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Network Failure</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Invalid Edit Fields</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Invalid Recipients</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Feature Not Supported</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unknown Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MAPI: %1. ErrorCode = %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Database &amp;Backup...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Database &amp;Restore...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Import</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Add Memo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Paste To &amp;Memo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The memo database &quot;%1&quot; is read-only: your memos are shown, but changes cannot be stored.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>
The built-in pictures are used instead.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Korvel Database,  (*.kvx)</source>
        <extracomment>A file type; the patterns in brackets stay as they are.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click here to open!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Another program is using the memo database &quot;%1&quot;. Your memos are shown as soon as it lets go of the file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n memo(s) you typed could not be stored: the database does not take them now.
Exit anyway and lose them?</source>
        <translation type="unfinished">
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Memos</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MemoActions</name>
    <message>
        <source>&amp;Add Memo          Enter</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add Memo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add &amp;Sub-Memo    Ctrl+Enter</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add Sub-Memo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Edit              F2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit Memo or Sub-Memo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete Memo or Sub-Memo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sort Direction</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>View &amp;List</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>List view memos</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Move</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Expand All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Expand all</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Collapse All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Collapse all</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select &amp;All        Ctrl+A</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Deselect</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Copy              Ctrl+C</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Paste             Ctrl+V</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Export...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>E-mai&amp;l Memo...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sa&amp;ve Memo...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Save All...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Print...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>View all sub-Memos in search result</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Descending Sort</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ascending Sort</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MemoController</name>
    <message>
        <source>Expand All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Collapse All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Are you sure you want to delete </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>this memo?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>these memos?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This memo is not stored yet. Memos can be moved into it once it is.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Drop</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Paste</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MemoEditor</name>
    <message>
        <source>Add</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please select a memo!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This memo is not stored yet. Its sub-memos can be added once it is.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MemoHistory</name>
    <message>
        <source>&amp;Undo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Undo %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Redo %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Undo %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Redo %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 failed: %2
The memos were left as they were.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MemoMailer</name>
    <message>
        <source>No mail program could take the message. You can send Memos.html and Memos.kvx from %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Memos</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Memos.html: HTML file, you can open it with website browser.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Memos.kvx: Korvel data file, you can import it into Korvel software directly.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MemoOutput</name>
    <message>
        <source>File write failure!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unable to print: the printer cannot be opened.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File Write Failure !</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please select a memo!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Text file (*.txt)</source>
        <extracomment>A file type; the patterns in brackets stay as they are.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>HTML file (*.htm *.html)</source>
        <extracomment>A file type; the patterns in brackets stay as they are.</extracomment>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MemoPane</name>
    <message>
        <source>Memos</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Double click to add a Memo!</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MemoRowPainter</name>
    <message>
        <source>Input content here</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MemoStatusBar</name>
    <message>
        <source>Ctrl+Enter: Finish edit.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Esc: Cancel edit.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mouse double click blank: shortcut add.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter: add a new item.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+Enter: add a new Child item.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+F12: Minimize window.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tip</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> created</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n memo(s) not stored yet: stored as soon as the database takes them.</source>
        <translation type="unfinished">
            <numerusform></numerusform>
        </translation>
    </message>
</context>
<context>
    <name>MemoSteps</name>
    <message>
        <source>Import</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MemoStore</name>
    <message>
        <source>The memo is no longer in the memo database.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MoveToMenu</name>
    <message>
        <source>&amp;Move to</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Root</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>OptionsDialog</name>
    <message>
        <source>Options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Start when I log in</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Run program minimized</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Add new item while open</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>S&amp;ync with my other computers through this folder, which a file-sync program keeps alike on each of them (empty: no sync):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No sync</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Choose...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sync Folder</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ParallelDeflate</name>
    <message>
        <source>Unable to compress the exchange file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The text is too large for an exchange file</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ProgramCommandLine</name>
    <message>
        <source>Korvel Jotwell keeps short memos in a two-level list.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show this help and end.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show the version and end.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Usage: jotwell [--data-dir DIR]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unexpected argument %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ProgramFolder</name>
    <message>
        <source>Unable to create the data folder %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keep the memos and settings in DIR.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--data-dir needs a folder</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Prompts</name>
    <message>
        <source>Ask</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Warning</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tip</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ReplaceDialog</name>
    <message>
        <source>Confirm Replace</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>with this one?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A&amp;bort</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Would you like to replace the existing </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>modified: </source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SearchBar</name>
    <message>
        <source>Input search string</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Search</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>  Search...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clear search</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SettingsFile</name>
    <message>
        <source>Unable to write to %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SingleInstance</name>
    <message>
        <source>Korvel Jotwell cannot listen on %1 (%2); it starts without noticing a second start.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Statement</name>
    <message>
        <source>The %1 is too long to be stored: %2 bytes, where the memo database takes at most %3.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The row is too long to be stored: the memo database takes at most %1 bytes in one row.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Sync</name>
    <message>
        <source>Unable to write to %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The sync folder %1 does not exist.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The sync folder %1 holds the memo database, which a file-sync program would damage: choose a folder of its own.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SyncRunner</name>
    <message>
        <source>Sync failed at %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Synced at %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1
It is tried again in a while.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TipPanel</name>
    <message>
        <source>Click here to finish Edit. Press Esc cancel.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click here to Add a new Item.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Search no result</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tip</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TrayIcon</name>
    <message>
        <source>Korvel TrayIcon Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Restore</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>AddToTray can not add icon to the tray</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ResetIcon Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SetHint Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SetShowHint Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SetImageIndex: No image list assigned</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>UpdateDialog</name>
    <message>
        <source>Korvel Update</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Updates are published on the Korvel website.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Would you like to see more information about these updates and how to obtain them? </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Do not ask me again.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>WindowPlacement</name>
    <message>
        <source>Error</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>XmlNavigator</name>
    <message>
        <source>&apos;%1&apos; is not a valid integer value</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>XML error at offset %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> not Exist !</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
