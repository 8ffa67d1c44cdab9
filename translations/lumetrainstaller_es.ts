<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES">
<context>
    <name>Finish</name>
    <message>
        <source>Finish</source>
        <extracomment>The button that ends the program; keep it short.</extracomment>
        <translation>Finalizar</translation>
    </message>
    <message>
        <source>Lumetra plugged into power again, with a check mark</source>
        <translation>Lumetra conectado de nuevo a la corriente, con una marca de verificación</translation>
    </message>
</context>
<context>
    <name>GreenButton</name>
    <message>
        <source>Next</source>
        <extracomment>What a screen reader says for the arrow that leads to the next screen.</extracomment>
        <translation>Siguiente</translation>
    </message>
</context>
<context>
    <name>GreyButton</name>
    <message>
        <source>Back</source>
        <extracomment>What a screen reader says for the arrow that leads to the previous screen.</extracomment>
        <translation>Atrás</translation>
    </message>
</context>
<context>
    <name>HomeScreen</name>
    <message>
        <source>Start</source>
        <extracomment>The button that leads into the steps; keep it short.</extracomment>
        <translation>Iniciar</translation>
    </message>
</context>
<context>
    <name>StepFour</name>
    <message>
        <source>The USB cable unplugged from Lumetra after the computer ejected its drive</source>
        <translation>El cable USB desconectado de Lumetra después de que el equipo expulsara su unidad</translation>
    </message>
    <message>
        <source>Eject Lumetra&apos;s drive by hand.</source>
        <extracomment>Step four&apos;s title when the computer could not eject the unit&apos;s drive.</extracomment>
        <translation>Expulse la unidad de Lumetra manualmente.</translation>
    </message>
    <message>
        <source>The firmware is updated, but the computer could not eject Lumetra&apos;s drive.</source>
        <extracomment>Step four after a good update whose drive the computer could not eject.</extracomment>
        <translation>El firmware está actualizado, pero el equipo no ha podido expulsar la unidad de Lumetra.</translation>
    </message>
    <message>
        <source>Lumetra already has this firmware, but the computer could not eject its drive.</source>
        <extracomment>Step four for a unit that needed no update and whose drive the computer could not eject.</extracomment>
        <translation>Lumetra ya tiene este firmware, pero el equipo no ha podido expulsar su unidad.</translation>
    </message>
    <message>
        <source>Lumetra already has this firmware: unplug the USB cable from Lumetra.</source>
        <extracomment>Step four for a unit that needed no update, its drive ejected.</extracomment>
        <translation>Lumetra ya tiene este firmware: desconecte el cable USB de Lumetra.</translation>
    </message>
    <message>
        <source>Eject the drive yourself (&apos;Safely Remove&apos; or &apos;Eject&apos;), then unplug the USB cable.</source>
        <extracomment>Step four: how to eject a drive by hand. Use the names your system gives these commands (&apos;Safely Remove Hardware&apos; on Windows, &apos;Eject&apos; in file managers).</extracomment>
        <translation>Expulse usted mismo la unidad («Quitar de forma segura» o «Expulsar») y, después, desconecte el cable USB.</translation>
    </message>
    <message>
        <source>Another program is using the drive.</source>
        <extracomment>Step four, why the drive was not ejected: the system found it busy.</extracomment>
        <translation>Otro programa está usando la unidad.</translation>
    </message>
    <message>
        <source>The drive was not found.</source>
        <extracomment>Step four, why the drive was not ejected: no device connected to the computer carries it.</extracomment>
        <translation>No se ha encontrado la unidad.</translation>
    </message>
    <message>
        <source>The drive was not found, or another program is using it.</source>
        <extracomment>Step four, why the drive was not ejected: it was gone from the computer, or another LumetraInstaller held it.</extracomment>
        <translation>No se ha encontrado la unidad, o bien otro programa la está usando.</translation>
    </message>
    <message>
        <source>The system refused to eject it.</source>
        <extracomment>Step four, why the drive was not ejected, for any other refusal.</extracomment>
        <translation>El sistema se ha negado a expulsarla.</translation>
    </message>
</context>
<context>
    <name>StepOne</name>
    <message>
        <source>Lumetra switched off, its power plug pulled from the wall socket</source>
        <translation>Lumetra apagado, con el enchufe retirado de la toma de corriente</translation>
    </message>
</context>
<context>
    <name>StepThree</name>
    <message>
        <source>Update</source>
        <extracomment>The button that starts the firmware update; keep it short.</extracomment>
        <translation>Actualizar</translation>
    </message>
    <message>
        <source>Updating</source>
        <extracomment>The update button&apos;s label while the firmware is being copied; keep it short.</extracomment>
        <translation>En curso</translation>
    </message>
    <message>
        <source>Lumetra detected: the computer shows its drive with a check mark</source>
        <translation>Lumetra detectado: el equipo muestra su unidad con una marca de verificación</translation>
    </message>
    <message>
        <source>Lumetra not detected: the computer shows a cross instead of its drive</source>
        <translation>Lumetra no detectado: el equipo muestra una cruz en lugar de su unidad</translation>
    </message>
    <message>
        <source>Lumetra was not detected</source>
        <translation>No se ha detectado Lumetra</translation>
    </message>
    <message>
        <source>The update failed: Lumetra&apos;s drive is full.</source>
        <extracomment>Step three, after a failed update: the unit&apos;s drive had no room for the firmware.</extracomment>
        <translation>La actualización ha fallado: la unidad de Lumetra está llena.</translation>
    </message>
    <message>
        <source>The update failed: Lumetra&apos;s drive is read-only.</source>
        <extracomment>Step three, after a failed update: the system would not let us write to the drive.</extracomment>
        <translation>La actualización ha fallado: la unidad de Lumetra es de solo lectura.</translation>
    </message>
    <message>
        <source>The update failed: Lumetra&apos;s drive was disconnected.</source>
        <extracomment>Step three, after a failed update: the drive went away during the update.</extracomment>
        <translation>La actualización ha fallado: la unidad de Lumetra se ha desconectado.</translation>
    </message>
    <message>
        <source>The update failed: the firmware read back from the drive was wrong.</source>
        <extracomment>Step three, after a failed update: the firmware read back from the drive was not the one written.</extracomment>
        <translation>La actualización ha fallado: el firmware leído de nuevo de la unidad era incorrecto.</translation>
    </message>
    <message>
        <source>The update failed: Lumetra&apos;s version file could not be written.</source>
        <extracomment>Step three, after a failed update: the file that holds the unit&apos;s version number.</extracomment>
        <translation>La actualización ha fallado: no se ha podido escribir el archivo de versión de Lumetra.</translation>
    </message>
    <message>
        <source>Another LumetraInstaller is updating this Lumetra. Try again when it has finished.</source>
        <extracomment>Step three: another copy of this program (a window or the command line) updates the unit now.</extracomment>
        <translation>Otro LumetraInstaller está actualizando este Lumetra. Vuelva a intentarlo cuando termine.</translation>
    </message>
    <message>
        <source>The update failed.</source>
        <extracomment>Step three, after a failed update, for any reason without a line of its own.</extracomment>
        <translation>La actualización ha fallado.</translation>
    </message>
    <message>
        <source>Lumetra detected</source>
        <extracomment>Step three&apos;s word to a screen reader that the unit is there and ready.</extracomment>
        <translation>Lumetra detectado</translation>
    </message>
    <message>
        <source>Updating Lumetra</source>
        <extracomment>What a screen reader calls the popup with the progress bar.</extracomment>
        <translation>Actualizando Lumetra</translation>
    </message>
    <message>
        <source>The update failed: this program&apos;s firmware is damaged. Download the program again.</source>
        <extracomment>Step three, after a failed update: the firmware carried inside this program is not what was built into it (a damaged download); nothing was written to the unit.</extracomment>
        <translation>La actualización ha fallado: el firmware incluido en este programa está dañado. Vuelva a descargar el programa.</translation>
    </message>
</context>
<context>
    <name>StepTwo</name>
    <message>
        <source>A USB cable from a computer plugged into Lumetra</source>
        <translation>Un cable USB de un equipo conectado a Lumetra</translation>
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
        <translation>Unidad de posprocesado automatizada</translation>
    </message>
    <message>
        <source>Update Tool</source>
        <extracomment>What this program is, a headline on the first screen.</extracomment>
        <translation>Herramienta de actualización</translation>
    </message>
    <message>
        <source>Version %1</source>
        <extracomment>%1 is the firmware version this program carries, such as 1.73.</extracomment>
        <translation>Versión %1</translation>
    </message>
    <message>
        <source>Step</source>
        <extracomment>Header of each step screen; the screen adds a space and the step&apos;s number (Step 1).</extracomment>
        <translation>Paso</translation>
    </message>
    <message>
        <source>Disconnect Lumetra from power.</source>
        <extracomment>Title of step 1; the unit must be cut off from mains power.</extracomment>
        <translation>Desconecte Lumetra de la corriente.</translation>
    </message>
    <message>
        <source>Begin by switching Lumetra&apos;s power to the &apos;off&apos; position.</source>
        <extracomment>The unit&apos;s power switch.</extracomment>
        <translation>Primero, ponga el interruptor de Lumetra en la posición «apagado».</translation>
    </message>
    <message>
        <source>Next, unplug Lumetra from its power source.</source>
        <translation>A continuación, desenchufe Lumetra de su fuente de alimentación.</translation>
    </message>
    <message>
        <source>Lumetra must be unplugged from power in order to update successfully.</source>
        <translation>Para actualizarse correctamente, Lumetra debe estar desenchufado.</translation>
    </message>
    <message>
        <source>Connect your computer to Lumetra via USB.</source>
        <translation>Conecte su equipo a Lumetra por USB.</translation>
    </message>
    <message>
        <source>After Lumetra has been disconnected from power, use the provided USB cable to connect your computer to Lumetra.</source>
        <translation>Una vez desconectado Lumetra de la corriente, conecte su equipo a Lumetra con el cable USB suministrado.</translation>
    </message>
    <message>
        <source>Begin Lumetra update.</source>
        <translation>Inicie la actualización de Lumetra.</translation>
    </message>
    <message>
        <source>Now that Lumetra has been unplugged from power and connected to your computer, it is ready to receive updates.</source>
        <translation>Ahora que Lumetra está desenchufado de la corriente y conectado a su equipo, ya puede recibir actualizaciones.</translation>
    </message>
    <message>
        <source>Press the &apos;update&apos; button to begin the process.</source>
        <extracomment>Names the button that starts the update: use its translated label (&quot;Update&quot; in StepThree).</extracomment>
        <translation>Pulse el botón «Actualizar» para iniciar el proceso.</translation>
    </message>
    <message>
        <source>Do not unplug the USB cable from your computer or Lumetra during the update</source>
        <translation>No desconecte el cable USB de su equipo ni de Lumetra durante la actualización</translation>
    </message>
    <message>
        <source>Unplug USB cable from Lumetra.</source>
        <translation>Desconecte el cable USB de Lumetra.</translation>
    </message>
    <message>
        <source>To finalize the update, unplug the USB cable from Lumetra</source>
        <translation>Para finalizar la actualización, desconecte el cable USB de Lumetra</translation>
    </message>
    <message>
        <source>Do not reconnect Lumetra to power until you have removed the USB cable.</source>
        <translation>No vuelva a conectar Lumetra a la corriente hasta haber retirado el cable USB.</translation>
    </message>
    <message>
        <source>The update is complete!</source>
        <extracomment>Title of the last screen.</extracomment>
        <translation>¡La actualización se ha completado!</translation>
    </message>
    <message>
        <source>You can now reconnect Lumetra to power and switch it back on.</source>
        <translation>Ya puede volver a conectar Lumetra a la corriente y encenderlo.</translation>
    </message>
    <message>
        <source>Note that Lumetra may take a few seconds to restart.</source>
        <translation>Tenga en cuenta que Lumetra puede tardar unos segundos en reiniciarse.</translation>
    </message>
    <message>
        <source>Lumetra update is completed</source>
        <extracomment>Title of the screen for a unit that already has this firmware.</extracomment>
        <translation>Actualización de Lumetra completada</translation>
    </message>
    <message>
        <source>Lumetra now holds an incomplete firmware: keep it connected and try again.</source>
        <extracomment>Step three&apos;s line after a failed update that began to overwrite the old firmware.</extracomment>
        <translation>Lumetra contiene ahora un firmware incompleto: manténgalo conectado y vuelva a intentarlo.</translation>
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
        <translation>Su Lumetra ya tiene la versión %1</translation>
    </message>
    <message>
        <source>Your Lumetra has already received the update included in this installer. Press &apos;Finish&apos; and restart your Lumetra to resume service. If you suspect that your Lumetra is not up to date, visit %1 to download the latest version of this installation wizard.</source>
        <extracomment>%1 is the maker&apos;s software page. &apos;Finish&apos; names this screen&apos;s button: use its translated label.</extracomment>
        <translation>Su Lumetra ya ha recibido la actualización incluida en este instalador. Pulse «Finalizar» y reinicie su Lumetra para volver a usarlo. Si cree que su Lumetra no está actualizado, descargue la versión más reciente de este asistente en %1.</translation>
    </message>
    <message>
        <source>Finish</source>
        <extracomment>The button that ends the program; keep it short.</extracomment>
        <translation>Finalizar</translation>
    </message>
    <message>
        <source>Lumetra plugged into power again, with a check mark</source>
        <translation>Lumetra conectado de nuevo a la corriente, con una marca de verificación</translation>
    </message>
</context>
<context>
    <name>WorkProgressBar</name>
    <message>
        <source>Update progress</source>
        <translation>Progreso de la actualización</translation>
    </message>
    <message>
        <source>%1 %</source>
        <extracomment>The progress in percent, for a screen reader; %1 is a number from 0 to 100.</extracomment>
        <translation>%1&#xa0;%</translation>
    </message>
</context>
</TS>
