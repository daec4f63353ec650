<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="pt_BR">
<context>
    <name>FormatFloat</name>
    <message>
        <source>Formato numérico não suportado: &quot;%1&quot;</source>
        <translation>Unsupported number format: &quot;%1&quot;</translation>
    </message>
</context>
<context>
    <name>Idioma</name>
    <message>
        <source>Idioma desconhecido: &quot;%1&quot; (use pt ou en).</source>
        <translation>Unknown language: &quot;%1&quot; (use pt or en).</translation>
    </message>
</context>
<context>
    <name>TEditorPropriedadesPontos</name>
    <message>
        <source>Editor dos Pontos da Somatocarta</source>
        <translation>Somatochart Points Editor</translation>
    </message>
    <message>
        <source>Propriedades do ponto X</source>
        <translation>Properties of point X</translation>
    </message>
    <message>
        <source>Coordenada X</source>
        <translation>X coordinate</translation>
    </message>
    <message>
        <source>Coordenada Y</source>
        <translation>Y coordinate</translation>
    </message>
    <message>
        <source>Tamanho</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>Cor</source>
        <translation>Color</translation>
    </message>
    <message>
        <source>Clique para escolher a cor</source>
        <translation>Click to choose the color</translation>
    </message>
    <message>
        <source>Formato</source>
        <translation>Shape</translation>
    </message>
    <message>
        <source>Círculo</source>
        <translation>Circle</translation>
    </message>
    <message>
        <source>Cruz</source>
        <translation>Cross</translation>
    </message>
    <message>
        <source>Descrição</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>Ponto anterior</source>
        <translation>Previous point</translation>
    </message>
    <message>
        <source>Próximo ponto</source>
        <translation>Next point</translation>
    </message>
    <message>
        <source>Acrescentar</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>Editar</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>Excluir</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Nenhum ponto na carta</source>
        <translation>No point on the chart</translation>
    </message>
    <message>
        <source>O único campo não obrigatório é a descrição. Preencha todos os outros.</source>
        <translation>The description is the only optional field. Fill in all the others.</translation>
    </message>
    <message>
        <source>Erro nos valores informados.</source>
        <translation>The values entered are wrong.</translation>
    </message>
    <message>
        <source>Propriedades do ponto %1</source>
        <translation>Properties of point %1</translation>
    </message>
    <message>
        <source>Atenção</source>
        <translation>Attention</translation>
    </message>
</context>
<context>
    <name>TSomatotipo</name>
    <message>
        <source>Classificação de somatotipo inválida.</source>
        <translation>Invalid somatotype rating.</translation>
    </message>
</context>
<context>
    <name>TfrmControlaOrvanta</name>
    <message>
        <source>Controlador de esteira</source>
        <translation>Treadmill controller</translation>
    </message>
    <message>
        <source>Inicializar esteira</source>
        <translation>Connect the treadmill</translation>
    </message>
    <message>
        <source>Conectar</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>Escolher o dispositivo serial deste número de porta</source>
        <translation>Choose the serial device of this port number</translation>
    </message>
    <message>
        <source>Intervalo:</source>
        <translation>Interval:</translation>
    </message>
    <message>
        <source>Período da consulta à esteira, em milissegundos</source>
        <translation>Period of the treadmill polling, in milliseconds</translation>
    </message>
    <message>
        <source>Altera</source>
        <translation>Change</translation>
    </message>
    <message>
        <source>Idioma</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>Idioma dos textos; a escolha vale a partir da próxima abertura</source>
        <translation>Language of the texts; the choice applies from the next start</translation>
    </message>
    <message>
        <source>Fechar</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Esteira</source>
        <translation>Treadmill</translation>
    </message>
    <message>
        <source>Aumentar velocidade</source>
        <translation>Increase speed</translation>
    </message>
    <message>
        <source>Diminuir velocidade</source>
        <translation>Decrease speed</translation>
    </message>
    <message>
        <source>Aumentar inclinação</source>
        <translation>Increase incline</translation>
    </message>
    <message>
        <source>Diminuir inclinação</source>
        <translation>Decrease incline</translation>
    </message>
    <message>
        <source>Velocidade...</source>
        <translation>Speed...</translation>
    </message>
    <message>
        <source>Digitar a velocidade</source>
        <translation>Type the speed</translation>
    </message>
    <message>
        <source>Inclinação...</source>
        <translation>Incline...</translation>
    </message>
    <message>
        <source>Digitar a inclinação</source>
        <translation>Type the incline</translation>
    </message>
    <message>
        <source>PARAR ESTEIRA</source>
        <translation>STOP TREADMILL</translation>
    </message>
    <message>
        <source>Calibração</source>
        <translation>Calibration</translation>
    </message>
    <message>
        <source>Velocidade (timers internos do PWM):</source>
        <translation>Speed (internal PWM timers):</translation>
    </message>
    <message>
        <source>Calibrar Velocidade</source>
        <translation>Calibrate Speed</translation>
    </message>
    <message>
        <source>Inclinação (pulsos a serem contados no disco ótico):</source>
        <translation>Incline (pulses to count on the optical disc):</translation>
    </message>
    <message>
        <source>Calibrar Inclinação</source>
        <translation>Calibrate Incline</translation>
    </message>
    <message>
        <source>Estado da calibração:</source>
        <translation>Calibration state:</translation>
    </message>
    <message>
        <source>CALIBRANDO</source>
        <translation>CALIBRATING</translation>
    </message>
    <message>
        <source>Velocidade ou Inclinação: </source>
        <translation>Speed or Incline: </translation>
    </message>
    <message>
        <source>Não foi possível gravar a escolha do idioma.</source>
        <translation>The choice of language could not be saved.</translation>
    </message>
    <message>
        <source>Idioma do sistema</source>
        <translation>System language</translation>
    </message>
    <message>
        <source>A escolha vale a partir da próxima abertura.</source>
        <translation>The choice applies from the next start.</translation>
    </message>
    <message>
        <source>Não foi possível gravar a escolha da porta.</source>
        <translation>The choice of port could not be saved.</translation>
    </message>
    <message>
        <source>Dispositivo perdido: %1 (%2). Tentando reabrir a cada segundo; a esteira não recebe nada até lá.</source>
        <translation>Device lost: %1 (%2). Trying to reopen it every second; the treadmill receives nothing until then.</translation>
    </message>
    <message>
        <source>Porta perdida: tentando reabrir...</source>
        <translation>Port lost: trying to reopen...</translation>
    </message>
    <message>
        <source>Porta reaberta: valores desconhecidos</source>
        <translation>Port reopened: values unknown</translation>
    </message>
    <message>
        <source>sem conexão com a esteira</source>
        <translation>no connection to the treadmill</translation>
    </message>
    <message>
        <source>Esteira parada</source>
        <translation>Treadmill stopped</translation>
    </message>
    <message>
        <source>Parada não confirmada: </source>
        <translation>Stop not confirmed: </translation>
    </message>
    <message>
        <source>A esteira pode estar em movimento, e fechar a janela não a para.</source>
        <translation>The treadmill may be moving, and closing the window does not stop it.</translation>
    </message>
    <message>
        <source>Parar a esteira e fechar</source>
        <translation>Stop the treadmill and close</translation>
    </message>
    <message>
        <source>Fechar sem parar</source>
        <translation>Close without stopping</translation>
    </message>
    <message>
        <source>Cancelar</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Não foi possível parar a esteira: %1. A janela continua aberta.</source>
        <translation>The treadmill could not be stopped: %1. The window stays open.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; não é um valor inteiro válido.</source>
        <translation>&apos;%1&apos; is not a valid integer value.</translation>
    </message>
    <message>
        <source>Valor de calibração deve estar entre 0 e 255.</source>
        <translation>The calibration value must be between 0 and 255.</translation>
    </message>
    <message>
        <source>Valor inválido: informe de %1.</source>
        <translation>Invalid value: enter %1.</translation>
    </message>
    <message>
        <source>%1 a %2 km/h</source>
        <translation>%1 to %2 km/h</translation>
    </message>
    <message>
        <source>Insira a nova velocidade:</source>
        <translation>Enter the new speed:</translation>
    </message>
    <message>
        <source>0 a %1 %</source>
        <translation>0 to %1 %</translation>
    </message>
    <message>
        <source>Insira a nova inclinacao:</source>
        <translation>Enter the new incline:</translation>
    </message>
</context>
<context>
    <name>TfrmEscolherPorta</name>
    <message>
        <source>Porta serial de COM%1</source>
        <translation>Serial port of COM%1</translation>
    </message>
    <message>
        <source>Escolha o dispositivo da porta COM%1:</source>
        <translation>Choose the device of port COM%1:</translation>
    </message>
    <message>
        <source>KESTROVA_COM%1 está definida no ambiente e prevalece sobre a escolha feita aqui.</source>
        <translation>KESTROVA_COM%1 is set in the environment and takes precedence over the choice made here.</translation>
    </message>
    <message>
        <source>Usar</source>
        <translation>Use</translation>
    </message>
    <message>
        <source>Cancelar</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Padrão</source>
        <translation>Default</translation>
    </message>
    <message>
        <source>COM%1 volta a ser /dev/ttyS%2</source>
        <translation>COM%1 becomes /dev/ttyS%2 again</translation>
    </message>
    <message>
        <source>COM%1 (esta porta)</source>
        <translation>COM%1 (this port)</translation>
    </message>
    <message>
        <source>em uso</source>
        <translation>in use</translation>
    </message>
    <message>
        <source>Dispositivo</source>
        <translation>Device</translation>
    </message>
    <message>
        <source>Descrição</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>Fabricante</source>
        <translation>Manufacturer</translation>
    </message>
    <message>
        <source>Nº de série</source>
        <translation>Serial number</translation>
    </message>
    <message>
        <source>Situação</source>
        <translation>Status</translation>
    </message>
</context>
<context>
    <name>orvanta</name>
    <message>
        <source>Controlador da esteira Orvanta Kestrova.</source>
        <translation>Controller of the Orvanta Kestrova treadmill.</translation>
    </message>
    <message>
        <source>O simulador da esteira não existe nesta plataforma.</source>
        <translation>The treadmill simulator does not exist on this platform.</translation>
    </message>
</context>
</TS>
