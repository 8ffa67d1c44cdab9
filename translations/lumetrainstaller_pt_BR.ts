<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pt_BR">
<context>
    <name>Finish</name>
    <message>
        <source>Finish</source>
        <extracomment>The button that ends the program; keep it short.</extracomment>
        <translation>Concluir</translation>
    </message>
    <message>
        <source>Lumetra plugged into power again, with a check mark</source>
        <translation>Lumetra ligado à tomada novamente, com uma marca de seleção</translation>
    </message>
</context>
<context>
    <name>GreenButton</name>
    <message>
        <source>Next</source>
        <extracomment>What a screen reader says for the arrow that leads to the next screen.</extracomment>
        <translation>Avançar</translation>
    </message>
</context>
<context>
    <name>GreyButton</name>
    <message>
        <source>Back</source>
        <extracomment>What a screen reader says for the arrow that leads to the previous screen.</extracomment>
        <translation>Voltar</translation>
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
        <translation>O cabo USB desconectado do Lumetra depois que o computador ejetou a unidade dele</translation>
    </message>
    <message>
        <source>Eject Lumetra&apos;s drive by hand.</source>
        <extracomment>Step four&apos;s title when the computer could not eject the unit&apos;s drive.</extracomment>
        <translation>Ejete a unidade do Lumetra manualmente.</translation>
    </message>
    <message>
        <source>The firmware is updated, but the computer could not eject Lumetra&apos;s drive.</source>
        <extracomment>Step four after a good update whose drive the computer could not eject.</extracomment>
        <translation>O firmware foi atualizado, mas o computador não conseguiu ejetar a unidade do Lumetra.</translation>
    </message>
    <message>
        <source>Lumetra already has this firmware, but the computer could not eject its drive.</source>
        <extracomment>Step four for a unit that needed no update and whose drive the computer could not eject.</extracomment>
        <translation>O Lumetra já tem este firmware, mas o computador não conseguiu ejetar a unidade dele.</translation>
    </message>
    <message>
        <source>Lumetra already has this firmware: unplug the USB cable from Lumetra.</source>
        <extracomment>Step four for a unit that needed no update, its drive ejected.</extracomment>
        <translation>O Lumetra já tem este firmware: desconecte o cabo USB do Lumetra.</translation>
    </message>
    <message>
        <source>Eject the drive yourself (&apos;Safely Remove&apos; or &apos;Eject&apos;), then unplug the USB cable.</source>
        <extracomment>Step four: how to eject a drive by hand. Use the names your system gives these commands (&apos;Safely Remove Hardware&apos; on Windows, &apos;Eject&apos; in file managers).</extracomment>
        <translation>Ejete a unidade você mesmo (“Remover com segurança” ou “Ejetar”) e depois desconecte o cabo USB.</translation>
    </message>
    <message>
        <source>Another program is using the drive.</source>
        <extracomment>Step four, why the drive was not ejected: the system found it busy.</extracomment>
        <translation>Outro programa está usando a unidade.</translation>
    </message>
    <message>
        <source>The drive was not found.</source>
        <extracomment>Step four, why the drive was not ejected: no device connected to the computer carries it.</extracomment>
        <translation>A unidade não foi encontrada.</translation>
    </message>
    <message>
        <source>The drive was not found, or another program is using it.</source>
        <extracomment>Step four, why the drive was not ejected: it was gone from the computer, or another LumetraInstaller held it.</extracomment>
        <translation>A unidade não foi encontrada, ou outro programa a está usando.</translation>
    </message>
    <message>
        <source>The system refused to eject it.</source>
        <extracomment>Step four, why the drive was not ejected, for any other refusal.</extracomment>
        <translation>O sistema se recusou a ejetá-la.</translation>
    </message>
</context>
<context>
    <name>StepOne</name>
    <message>
        <source>Lumetra switched off, its power plug pulled from the wall socket</source>
        <translation>Lumetra desligado, com o plugue retirado da tomada</translation>
    </message>
</context>
<context>
    <name>StepThree</name>
    <message>
        <source>Update</source>
        <extracomment>The button that starts the firmware update; keep it short.</extracomment>
        <translation>Atualizar</translation>
    </message>
    <message>
        <source>Updating</source>
        <extracomment>The update button&apos;s label while the firmware is being copied; keep it short.</extracomment>
        <translation>Aguarde</translation>
    </message>
    <message>
        <source>Lumetra detected: the computer shows its drive with a check mark</source>
        <translation>Lumetra detectado: o computador mostra a unidade dele com uma marca de seleção</translation>
    </message>
    <message>
        <source>Lumetra not detected: the computer shows a cross instead of its drive</source>
        <translation>Lumetra não detectado: o computador mostra um X no lugar da unidade</translation>
    </message>
    <message>
        <source>Lumetra was not detected</source>
        <translation>O Lumetra não foi detectado</translation>
    </message>
    <message>
        <source>The update failed: Lumetra&apos;s drive is full.</source>
        <extracomment>Step three, after a failed update: the unit&apos;s drive had no room for the firmware.</extracomment>
        <translation>Falha na atualização: a unidade do Lumetra está cheia.</translation>
    </message>
    <message>
        <source>The update failed: Lumetra&apos;s drive is read-only.</source>
        <extracomment>Step three, after a failed update: the system would not let us write to the drive.</extracomment>
        <translation>Falha na atualização: a unidade do Lumetra é somente leitura.</translation>
    </message>
    <message>
        <source>The update failed: Lumetra&apos;s drive was disconnected.</source>
        <extracomment>Step three, after a failed update: the drive went away during the update.</extracomment>
        <translation>Falha na atualização: a unidade do Lumetra foi desconectada.</translation>
    </message>
    <message>
        <source>The update failed: the firmware read back from the drive was wrong.</source>
        <extracomment>Step three, after a failed update: the firmware read back from the drive was not the one written.</extracomment>
        <translation>Falha na atualização: o firmware lido da unidade não confere com o gravado.</translation>
    </message>
    <message>
        <source>The update failed: Lumetra&apos;s version file could not be written.</source>
        <extracomment>Step three, after a failed update: the file that holds the unit&apos;s version number.</extracomment>
        <translation>Falha na atualização: não foi possível gravar o arquivo de versão do Lumetra.</translation>
    </message>
    <message>
        <source>Another LumetraInstaller is updating this Lumetra. Try again when it has finished.</source>
        <extracomment>Step three: another copy of this program (a window or the command line) updates the unit now.</extracomment>
        <translation>Outro LumetraInstaller está atualizando este Lumetra. Tente novamente quando ele terminar.</translation>
    </message>
    <message>
        <source>The update failed.</source>
        <extracomment>Step three, after a failed update, for any reason without a line of its own.</extracomment>
        <translation>Falha na atualização.</translation>
    </message>
    <message>
        <source>Lumetra detected</source>
        <extracomment>Step three&apos;s word to a screen reader that the unit is there and ready.</extracomment>
        <translation>Lumetra detectado</translation>
    </message>
    <message>
        <source>Updating Lumetra</source>
        <extracomment>What a screen reader calls the popup with the progress bar.</extracomment>
        <translation>Atualizando o Lumetra</translation>
    </message>
    <message>
        <source>The update failed: this program&apos;s firmware is damaged. Download the program again.</source>
        <extracomment>Step three, after a failed update: the firmware carried inside this program is not what was built into it (a damaged download); nothing was written to the unit.</extracomment>
        <translation>Falha na atualização: o firmware contido neste programa está danificado. Baixe o programa novamente.</translation>
    </message>
</context>
<context>
    <name>StepTwo</name>
    <message>
        <source>A USB cable from a computer plugged into Lumetra</source>
        <translation>Um cabo USB de um computador conectado ao Lumetra</translation>
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
        <translation>Unidade de pós-processamento automatizada</translation>
    </message>
    <message>
        <source>Update Tool</source>
        <extracomment>What this program is, a headline on the first screen.</extracomment>
        <translation>Ferramenta de atualização</translation>
    </message>
    <message>
        <source>Version %1</source>
        <extracomment>%1 is the firmware version this program carries, such as 1.73.</extracomment>
        <translation>Versão %1</translation>
    </message>
    <message>
        <source>Step</source>
        <extracomment>Header of each step screen; the screen adds a space and the step&apos;s number (Step 1).</extracomment>
        <translation>Etapa</translation>
    </message>
    <message>
        <source>Disconnect Lumetra from power.</source>
        <extracomment>Title of step 1; the unit must be cut off from mains power.</extracomment>
        <translation>Desconecte o Lumetra da energia.</translation>
    </message>
    <message>
        <source>Begin by switching Lumetra&apos;s power to the &apos;off&apos; position.</source>
        <extracomment>The unit&apos;s power switch.</extracomment>
        <translation>Primeiro, coloque o interruptor do Lumetra na posição “desligado”.</translation>
    </message>
    <message>
        <source>Next, unplug Lumetra from its power source.</source>
        <translation>Em seguida, tire o plugue do Lumetra da tomada.</translation>
    </message>
    <message>
        <source>Lumetra must be unplugged from power in order to update successfully.</source>
        <translation>O Lumetra precisa estar desconectado da energia para ser atualizado.</translation>
    </message>
    <message>
        <source>Connect your computer to Lumetra via USB.</source>
        <translation>Conecte o computador ao Lumetra via USB.</translation>
    </message>
    <message>
        <source>After Lumetra has been disconnected from power, use the provided USB cable to connect your computer to Lumetra.</source>
        <translation>Com o Lumetra desconectado da energia, use o cabo USB fornecido para conectar o computador ao Lumetra.</translation>
    </message>
    <message>
        <source>Begin Lumetra update.</source>
        <translation>Inicie a atualização do Lumetra.</translation>
    </message>
    <message>
        <source>Now that Lumetra has been unplugged from power and connected to your computer, it is ready to receive updates.</source>
        <translation>Com o Lumetra desconectado da energia e conectado ao computador, ele já pode receber a atualização.</translation>
    </message>
    <message>
        <source>Press the &apos;update&apos; button to begin the process.</source>
        <extracomment>Names the button that starts the update: use its translated label (&quot;Update&quot; in StepThree).</extracomment>
        <translation>Clique no botão “Atualizar” para iniciar o processo.</translation>
    </message>
    <message>
        <source>Do not unplug the USB cable from your computer or Lumetra during the update</source>
        <translation>Durante a atualização, não desconecte o cabo USB em nenhuma das pontas</translation>
    </message>
    <message>
        <source>Unplug USB cable from Lumetra.</source>
        <translation>Desconecte o cabo USB do Lumetra.</translation>
    </message>
    <message>
        <source>To finalize the update, unplug the USB cable from Lumetra</source>
        <translation>Para concluir a atualização, desconecte o cabo USB do Lumetra</translation>
    </message>
    <message>
        <source>Do not reconnect Lumetra to power until you have removed the USB cable.</source>
        <translation>Só ligue o Lumetra na tomada novamente depois de remover o cabo USB.</translation>
    </message>
    <message>
        <source>The update is complete!</source>
        <extracomment>Title of the last screen.</extracomment>
        <translation>A atualização foi concluída!</translation>
    </message>
    <message>
        <source>You can now reconnect Lumetra to power and switch it back on.</source>
        <translation>Agora você pode conectar o Lumetra à tomada e ligá-lo de novo.</translation>
    </message>
    <message>
        <source>Note that Lumetra may take a few seconds to restart.</source>
        <translation>Observação: o Lumetra pode levar alguns segundos para reiniciar.</translation>
    </message>
    <message>
        <source>Lumetra update is completed</source>
        <extracomment>Title of the screen for a unit that already has this firmware.</extracomment>
        <translation>Atualização do Lumetra concluída</translation>
    </message>
    <message>
        <source>Lumetra now holds an incomplete firmware: keep it connected and try again.</source>
        <extracomment>Step three&apos;s line after a failed update that began to overwrite the old firmware.</extracomment>
        <translation>O firmware do Lumetra ficou incompleto: mantenha-o conectado e tente novamente.</translation>
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
        <translation>Seu Lumetra já está na versão %1</translation>
    </message>
    <message>
        <source>Your Lumetra has already received the update included in this installer. Press &apos;Finish&apos; and restart your Lumetra to resume service. If you suspect that your Lumetra is not up to date, visit %1 to download the latest version of this installation wizard.</source>
        <extracomment>%1 is the maker&apos;s software page. &apos;Finish&apos; names this screen&apos;s button: use its translated label.</extracomment>
        <translation>Seu Lumetra já recebeu a atualização incluída neste instalador. Clique em “Concluir” e reinicie o Lumetra para voltar a usá-lo. Se você acha que ele não está atualizado, acesse %1 para baixar a versão mais recente deste assistente de instalação.</translation>
    </message>
    <message>
        <source>Finish</source>
        <extracomment>The button that ends the program; keep it short.</extracomment>
        <translation>Concluir</translation>
    </message>
    <message>
        <source>Lumetra plugged into power again, with a check mark</source>
        <translation>Lumetra ligado à tomada novamente, com uma marca de seleção</translation>
    </message>
</context>
<context>
    <name>WorkProgressBar</name>
    <message>
        <source>Update progress</source>
        <translation>Progresso da atualização</translation>
    </message>
    <message>
        <source>%1 %</source>
        <extracomment>The progress in percent, for a screen reader; %1 is a number from 0 to 100.</extracomment>
        <translation>%1%</translation>
    </message>
</context>
</TS>
