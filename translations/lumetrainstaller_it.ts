<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it_IT">
<context>
    <name>Finish</name>
    <message>
        <source>Finish</source>
        <extracomment>The button that ends the program; keep it short.</extracomment>
        <translation>Fine</translation>
    </message>
    <message>
        <source>Lumetra plugged into power again, with a check mark</source>
        <translation>Lumetra di nuovo collegato alla corrente, con un segno di spunta</translation>
    </message>
</context>
<context>
    <name>GreenButton</name>
    <message>
        <source>Next</source>
        <extracomment>What a screen reader says for the arrow that leads to the next screen.</extracomment>
        <translation>Avanti</translation>
    </message>
</context>
<context>
    <name>GreyButton</name>
    <message>
        <source>Back</source>
        <extracomment>What a screen reader says for the arrow that leads to the previous screen.</extracomment>
        <translation>Indietro</translation>
    </message>
</context>
<context>
    <name>HomeScreen</name>
    <message>
        <source>Start</source>
        <extracomment>The button that leads into the steps; keep it short.</extracomment>
        <translation>Inizia</translation>
    </message>
</context>
<context>
    <name>StepFour</name>
    <message>
        <source>The USB cable unplugged from Lumetra after the computer ejected its drive</source>
        <translation>Il cavo USB scollegato da Lumetra dopo che il computer ha espulso la sua unità</translation>
    </message>
    <message>
        <source>Eject Lumetra&apos;s drive by hand.</source>
        <extracomment>Step four&apos;s title when the computer could not eject the unit&apos;s drive.</extracomment>
        <translation>Espelli a mano l’unità di Lumetra.</translation>
    </message>
    <message>
        <source>The firmware is updated, but the computer could not eject Lumetra&apos;s drive.</source>
        <extracomment>Step four after a good update whose drive the computer could not eject.</extracomment>
        <translation>Il firmware è aggiornato, ma il computer non è riuscito a espellere l’unità di Lumetra.</translation>
    </message>
    <message>
        <source>Lumetra already has this firmware, but the computer could not eject its drive.</source>
        <extracomment>Step four for a unit that needed no update and whose drive the computer could not eject.</extracomment>
        <translation>Lumetra ha già questo firmware, ma il computer non è riuscito a espellere la sua unità.</translation>
    </message>
    <message>
        <source>Lumetra already has this firmware: unplug the USB cable from Lumetra.</source>
        <extracomment>Step four for a unit that needed no update, its drive ejected.</extracomment>
        <translation>Lumetra ha già questo firmware: scollega il cavo USB da Lumetra.</translation>
    </message>
    <message>
        <source>Eject the drive yourself (&apos;Safely Remove&apos; or &apos;Eject&apos;), then unplug the USB cable.</source>
        <extracomment>Step four: how to eject a drive by hand. Use the names your system gives these commands (&apos;Safely Remove Hardware&apos; on Windows, &apos;Eject&apos; in file managers).</extracomment>
        <translation>Espelli tu stesso l’unità («Rimozione sicura» o «Espelli»), poi scollega il cavo USB.</translation>
    </message>
    <message>
        <source>Another program is using the drive.</source>
        <extracomment>Step four, why the drive was not ejected: the system found it busy.</extracomment>
        <translation>Un altro programma sta usando l’unità.</translation>
    </message>
    <message>
        <source>The drive was not found.</source>
        <extracomment>Step four, why the drive was not ejected: no device connected to the computer carries it.</extracomment>
        <translation>L’unità non è stata trovata.</translation>
    </message>
    <message>
        <source>The drive was not found, or another program is using it.</source>
        <extracomment>Step four, why the drive was not ejected: it was gone from the computer, or another LumetraInstaller held it.</extracomment>
        <translation>L’unità non è stata trovata, oppure un altro programma la sta usando.</translation>
    </message>
    <message>
        <source>The system refused to eject it.</source>
        <extracomment>Step four, why the drive was not ejected, for any other refusal.</extracomment>
        <translation>Il sistema ha rifiutato di espellerla.</translation>
    </message>
</context>
<context>
    <name>StepOne</name>
    <message>
        <source>Lumetra switched off, its power plug pulled from the wall socket</source>
        <translation>Lumetra spento, con la spina staccata dalla presa di corrente</translation>
    </message>
</context>
<context>
    <name>StepThree</name>
    <message>
        <source>Update</source>
        <extracomment>The button that starts the firmware update; keep it short.</extracomment>
        <translation>Aggiorna</translation>
    </message>
    <message>
        <source>Updating</source>
        <extracomment>The update button&apos;s label while the firmware is being copied; keep it short.</extracomment>
        <translation>In corso</translation>
    </message>
    <message>
        <source>Lumetra detected: the computer shows its drive with a check mark</source>
        <translation>Lumetra rilevato: il computer mostra la sua unità con un segno di spunta</translation>
    </message>
    <message>
        <source>Lumetra not detected: the computer shows a cross instead of its drive</source>
        <translation>Lumetra non rilevato: il computer mostra una croce al posto della sua unità</translation>
    </message>
    <message>
        <source>Lumetra was not detected</source>
        <translation>Lumetra non è stato rilevato</translation>
    </message>
    <message>
        <source>The update failed: Lumetra&apos;s drive is full.</source>
        <extracomment>Step three, after a failed update: the unit&apos;s drive had no room for the firmware.</extracomment>
        <translation>L’aggiornamento non è riuscito: l’unità di Lumetra è piena.</translation>
    </message>
    <message>
        <source>The update failed: Lumetra&apos;s drive is read-only.</source>
        <extracomment>Step three, after a failed update: the system would not let us write to the drive.</extracomment>
        <translation>L’aggiornamento non è riuscito: l’unità di Lumetra è di sola lettura.</translation>
    </message>
    <message>
        <source>The update failed: Lumetra&apos;s drive was disconnected.</source>
        <extracomment>Step three, after a failed update: the drive went away during the update.</extracomment>
        <translation>L’aggiornamento non è riuscito: l’unità di Lumetra è stata scollegata.</translation>
    </message>
    <message>
        <source>The update failed: the firmware read back from the drive was wrong.</source>
        <extracomment>Step three, after a failed update: the firmware read back from the drive was not the one written.</extracomment>
        <translation>L’aggiornamento non è riuscito: il firmware riletto dall’unità non era corretto.</translation>
    </message>
    <message>
        <source>The update failed: Lumetra&apos;s version file could not be written.</source>
        <extracomment>Step three, after a failed update: the file that holds the unit&apos;s version number.</extracomment>
        <translation>L’aggiornamento non è riuscito: non è stato possibile scrivere il file di versione di Lumetra.</translation>
    </message>
    <message>
        <source>Another LumetraInstaller is updating this Lumetra. Try again when it has finished.</source>
        <extracomment>Step three: another copy of this program (a window or the command line) updates the unit now.</extracomment>
        <translation>Un altro LumetraInstaller sta aggiornando questo Lumetra. Riprova quando avrà finito.</translation>
    </message>
    <message>
        <source>The update failed.</source>
        <extracomment>Step three, after a failed update, for any reason without a line of its own.</extracomment>
        <translation>L’aggiornamento non è riuscito.</translation>
    </message>
    <message>
        <source>Lumetra detected</source>
        <extracomment>Step three&apos;s word to a screen reader that the unit is there and ready.</extracomment>
        <translation>Lumetra rilevato</translation>
    </message>
    <message>
        <source>Updating Lumetra</source>
        <extracomment>What a screen reader calls the popup with the progress bar.</extracomment>
        <translation>Aggiornamento di Lumetra</translation>
    </message>
    <message>
        <source>The update failed: this program&apos;s firmware is damaged. Download the program again.</source>
        <extracomment>Step three, after a failed update: the firmware carried inside this program is not what was built into it (a damaged download); nothing was written to the unit.</extracomment>
        <translation>L’aggiornamento non è riuscito: il firmware contenuto in questo programma è danneggiato. Scarica di nuovo il programma.</translation>
    </message>
</context>
<context>
    <name>StepTwo</name>
    <message>
        <source>A USB cable from a computer plugged into Lumetra</source>
        <translation>Un cavo USB da un computer collegato a Lumetra</translation>
    </message>
</context>
<context>
    <name>TextStrings</name>
    <message>
        <source>Lumetra</source>
        <extracomment>The product&apos;s name; a brand, usually left as it is.</extracomment>
        <translation>Lumetra</translation>
    </message>
    <message>
        <source>Automated post-processing unit</source>
        <extracomment>What the Lumetra is, under its name on the first screen.</extracomment>
        <translation>Unità di post-elaborazione automatizzata</translation>
    </message>
    <message>
        <source>Update Tool</source>
        <extracomment>What this program is, a headline on the first screen.</extracomment>
        <translation>Strumento di aggiornamento</translation>
    </message>
    <message>
        <source>Version %1</source>
        <extracomment>%1 is the firmware version this program carries, such as 1.73.</extracomment>
        <translation>Versione %1</translation>
    </message>
    <message>
        <source>Step</source>
        <extracomment>Header of each step screen; the screen adds a space and the step&apos;s number (Step 1).</extracomment>
        <translation>Passaggio</translation>
    </message>
    <message>
        <source>Disconnect Lumetra from power.</source>
        <extracomment>Title of step 1; the unit must be cut off from mains power.</extracomment>
        <translation>Scollega Lumetra dalla corrente.</translation>
    </message>
    <message>
        <source>Begin by switching Lumetra&apos;s power to the &apos;off&apos; position.</source>
        <extracomment>The unit&apos;s power switch.</extracomment>
        <translation>Per prima cosa, porta l’interruttore di Lumetra su «spento».</translation>
    </message>
    <message>
        <source>Next, unplug Lumetra from its power source.</source>
        <translation>Poi scollega Lumetra dalla sua fonte di alimentazione.</translation>
    </message>
    <message>
        <source>Lumetra must be unplugged from power in order to update successfully.</source>
        <translation>L’aggiornamento riesce solo se Lumetra è scollegato dalla corrente.</translation>
    </message>
    <message>
        <source>Connect your computer to Lumetra via USB.</source>
        <translation>Collega il computer a Lumetra via USB.</translation>
    </message>
    <message>
        <source>After Lumetra has been disconnected from power, use the provided USB cable to connect your computer to Lumetra.</source>
        <translation>Dopo aver scollegato Lumetra dalla corrente, collega il computer a Lumetra con il cavo USB in dotazione.</translation>
    </message>
    <message>
        <source>Begin Lumetra update.</source>
        <translation>Avvia l’aggiornamento di Lumetra.</translation>
    </message>
    <message>
        <source>Now that Lumetra has been unplugged from power and connected to your computer, it is ready to receive updates.</source>
        <translation>Ora che Lumetra è scollegato dalla corrente e collegato al computer, è pronto a ricevere gli aggiornamenti.</translation>
    </message>
    <message>
        <source>Press the &apos;update&apos; button to begin the process.</source>
        <extracomment>Names the button that starts the update: use its translated label (&quot;Update&quot; in StepThree).</extracomment>
        <translation>Premi il pulsante «Aggiorna» per avviare la procedura.</translation>
    </message>
    <message>
        <source>Do not unplug the USB cable from your computer or Lumetra during the update</source>
        <translation>Non scollegare il cavo USB dal computer né da Lumetra durante l’aggiornamento</translation>
    </message>
    <message>
        <source>Unplug USB cable from Lumetra.</source>
        <translation>Scollega il cavo USB da Lumetra.</translation>
    </message>
    <message>
        <source>To finalize the update, unplug the USB cable from Lumetra</source>
        <translation>Per completare l’aggiornamento, scollega il cavo USB da Lumetra</translation>
    </message>
    <message>
        <source>Do not reconnect Lumetra to power until you have removed the USB cable.</source>
        <translation>Non ricollegare Lumetra alla corrente prima di aver rimosso il cavo USB.</translation>
    </message>
    <message>
        <source>The update is complete!</source>
        <extracomment>Title of the last screen.</extracomment>
        <translation>L’aggiornamento è completo!</translation>
    </message>
    <message>
        <source>You can now reconnect Lumetra to power and switch it back on.</source>
        <translation>Ora puoi ricollegare Lumetra alla corrente e riaccenderlo.</translation>
    </message>
    <message>
        <source>Note that Lumetra may take a few seconds to restart.</source>
        <translation>Tieni presente che il riavvio di Lumetra può richiedere qualche secondo.</translation>
    </message>
    <message>
        <source>Lumetra update is completed</source>
        <extracomment>Title of the screen for a unit that already has this firmware.</extracomment>
        <translation>Aggiornamento di Lumetra completato</translation>
    </message>
    <message>
        <source>Lumetra now holds an incomplete firmware: keep it connected and try again.</source>
        <extracomment>Step three&apos;s line after a failed update that began to overwrite the old firmware.</extracomment>
        <translation>Lumetra contiene ora un firmware incompleto: lascialo collegato e riprova.</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <extracomment>A screen&apos;s name for a screen reader: %1 is its header (Step 3, or the version line of the up-to-date screen), %2 its title.</extracomment>
        <translation>%1: %2</translation>
    </message>
</context>
<context>
    <name>UpToDateScreen</name>
    <message>
        <source>Your Lumetra is already on version %1</source>
        <extracomment>%1 is the firmware version found on the unit, such as 1.73.</extracomment>
        <translation>Il tuo Lumetra ha già la versione %1</translation>
    </message>
    <message>
        <source>Your Lumetra has already received the update included in this installer. Press &apos;Finish&apos; and restart your Lumetra to resume service. If you suspect that your Lumetra is not up to date, visit %1 to download the latest version of this installation wizard.</source>
        <extracomment>%1 is the maker&apos;s software page. &apos;Finish&apos; names this screen&apos;s button: use its translated label.</extracomment>
        <translation>Il tuo Lumetra ha già ricevuto l’aggiornamento incluso in questo programma. Premi «Fine» e riavvia Lumetra per tornare a usarlo. Se pensi che il tuo Lumetra non sia aggiornato, scarica la versione più recente di questa procedura guidata da %1.</translation>
    </message>
    <message>
        <source>Finish</source>
        <extracomment>The button that ends the program; keep it short.</extracomment>
        <translation>Fine</translation>
    </message>
    <message>
        <source>Lumetra plugged into power again, with a check mark</source>
        <translation>Lumetra di nuovo collegato alla corrente, con un segno di spunta</translation>
    </message>
</context>
<context>
    <name>WorkProgressBar</name>
    <message>
        <source>Update progress</source>
        <translation>Avanzamento dell’aggiornamento</translation>
    </message>
    <message>
        <source>%1 %</source>
        <extracomment>The progress in percent, for a screen reader; %1 is a number from 0 to 100.</extracomment>
        <translation>%1&#xa0;%</translation>
    </message>
</context>
</TS>
