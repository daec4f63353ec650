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
    <message>
        <source>Idioma dos textos: pt (português) ou en (inglês); padrão: o do sistema.</source>
        <translation>Language of the texts: pt (Portuguese) or en (English); default: the system&apos;s.</translation>
    </message>
</context>
<context>
    <name>MenuIdioma</name>
    <message>
        <source>Idioma do sistema</source>
        <translation>System language</translation>
    </message>
    <message>
        <source>A escolha vale a partir da próxima abertura.</source>
        <translation>The choice applies from the next start.</translation>
    </message>
</context>
<context>
    <name>TAlertasClinicos</name>
    <message>
        <source>FC %1 bpm acima do limite do teste (%2 bpm)</source>
        <translation>HR %1 bpm above the test&apos;s limit (%2 bpm)</translation>
    </message>
    <message>
        <source>PA sistólica %1 mmHg acima de %2 mmHg</source>
        <translation>Systolic BP %1 mmHg above %2 mmHg</translation>
    </message>
    <message>
        <source>PA diastólica %1 mmHg acima de %2 mmHg</source>
        <translation>Diastolic BP %1 mmHg above %2 mmHg</translation>
    </message>
    <message>
        <source>Queda da PA sistólica de %1 mmHg durante o exercício (%2 → %3 mmHg)</source>
        <translation>Systolic BP fall of %1 mmHg during exercise (%2 → %3 mmHg)</translation>
    </message>
</context>
<context>
    <name>TAvaliacaoClinica</name>
    <message>
        <source>pressão sistólica de repouso não informada</source>
        <translation>resting systolic pressure not entered</translation>
    </message>
    <message>
        <source>nenhuma pressão arterial medida durante o exercício</source>
        <translation>no blood pressure measured during exercise</translation>
    </message>
    <message>
        <source>sexo do paciente não informado</source>
        <translation>patient&apos;s sex not entered</translation>
    </message>
    <message>
        <source>nenhuma frequência cardíaca a até 10 s da medida de pressão</source>
        <translation>no heart rate within 10 s of the blood-pressure reading</translation>
    </message>
    <message>
        <source>nenhuma pressão arterial medida</source>
        <translation>no blood pressure measured</translation>
    </message>
    <message>
        <source>nenhuma pressão arterial com frequência cardíaca a até 10 s</source>
        <translation>no blood pressure with a heart rate within 10 s</translation>
    </message>
    <message>
        <source>o teste não chegou à fase de exercício</source>
        <translation>the test did not reach the exercise phase</translation>
    </message>
    <message>
        <source>nenhuma velocidade confirmada pela esteira no exercício</source>
        <translation>no speed acknowledged by the treadmill during exercise</translation>
    </message>
    <message>
        <source>escore de Duke só nos protocolos de Bruce</source>
        <translation>Duke treadmill score only for the Bruce protocols</translation>
    </message>
    <message>
        <source>estágios de Bruce alterados pelos limites do teste</source>
        <translation>Bruce stages changed by the test&apos;s limits</translation>
    </message>
    <message>
        <source>o teste terminou antes do estágio 1 de Bruce</source>
        <translation>the test ended before Bruce stage 1</translation>
    </message>
    <message>
        <source>Foster (Bruce)</source>
        <translation>Foster (Bruce)</translation>
    </message>
    <message>
        <source>Foster (Bruce modificado)</source>
        <translation>Foster (modified Bruce)</translation>
    </message>
    <message>
        <source>ACSM, carga de pico</source>
        <translation>ACSM, peak workload</translation>
    </message>
    <message>
        <source>nenhuma frequência cardíaca medida ou anotada no exercício</source>
        <translation>no heart rate measured or entered during exercise</translation>
    </message>
    <message>
        <source>frequência cardíaca de repouso não informada</source>
        <translation>resting heart rate not entered</translation>
    </message>
    <message>
        <source>nenhuma frequência cardíaca a até 10 s de %1 min da recuperação</source>
        <translation>no heart rate within 10 s of %1 min of recovery</translation>
    </message>
    <message>
        <source>desvio de ST e índice de angina não informados</source>
        <translation>ST deviation and angina index not entered</translation>
    </message>
    <message>
        <source>desvio de ST não informado</source>
        <translation>ST deviation not entered</translation>
    </message>
    <message>
        <source>índice de angina não informado</source>
        <translation>angina index not entered</translation>
    </message>
    <message>
        <source>frequência de repouso não é menor que a máxima prevista</source>
        <translation>resting heart rate not below the predicted maximum heart rate</translation>
    </message>
</context>
<context>
    <name>TDecodificadorMedicao</name>
    <message>
        <source>1 byte</source>
        <translation>1 byte</translation>
    </message>
    <message>
        <source>%1 bytes</source>
        <translation>%1 bytes</translation>
    </message>
    <message>
        <source>notificação vazia</source>
        <translation>empty notification</translation>
    </message>
    <message>
        <source>bits reservados ligados nos sinalizadores (0x%1)</source>
        <translation>reserved bits set in the flags (0x%1)</translation>
    </message>
    <message>
        <source>curta demais: %1, os sinalizadores (0x%2) pedem %3</source>
        <translation>too short: %1, the flags (0x%2) call for %3</translation>
    </message>
    <message>
        <source>%1 além dos campos dos sinalizadores (0x%2)</source>
        <translation>%1 beyond the flags&apos; fields (0x%2)</translation>
    </message>
    <message>
        <source>intervalos RR com um byte a mais no fim</source>
        <translation>RR intervals with one byte too many at the end</translation>
    </message>
    <message>
        <source>frequência impossível: %1 bpm (aceita de 1 a %2)</source>
        <translation>impossible heart rate: %1 bpm (accepted from 1 to %2)</translation>
    </message>
    <message>
        <source>&quot;%1&quot; não é uma sequência de bytes em hexadecimal (dois dígitos por byte)</source>
        <translation>&quot;%1&quot; is not a sequence of bytes in hexadecimal (two digits a byte)</translation>
    </message>
    <message>
        <source>nenhum byte</source>
        <translation>no bytes</translation>
    </message>
    <message>
        <source>, contato não informado</source>
        <translation>, contact not reported</translation>
    </message>
    <message>
        <source>, sem contato</source>
        <translation>, no contact</translation>
    </message>
    <message>
        <source>, contato detectado</source>
        <translation>, contact detected</translation>
    </message>
    <message>
        <source>, energia %1 kJ</source>
        <translation>, energy %1 kJ</translation>
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
    <name>TFalhaBluetooth</name>
    <message>
        <source>nenhum adaptador Bluetooth encontrado (há um adaptador e o serviço bluetooth está rodando? veja bluetoothctl list)</source>
        <translation>no Bluetooth adapter found (is there an adapter, and is the bluetooth service running? see bluetoothctl list)</translation>
    </message>
    <message>
        <source>o Bluetooth está desligado: ligue-o (bluetoothctl power on)</source>
        <translation>Bluetooth is switched off: switch it on (bluetoothctl power on)</translation>
    </message>
    <message>
        <source>o sistema negou a permissão de usar o Bluetooth</source>
        <translation>the system denied permission to use Bluetooth</translation>
    </message>
    <message>
        <source>o serviço Bluetooth (BlueZ) não respondeu: veja se está rodando (systemctl status bluetooth)</source>
        <translation>the Bluetooth service (BlueZ) did not answer: check that it is running (systemctl status bluetooth)</translation>
    </message>
    <message>
        <source>Bluetooth não disponível nesta compilação</source>
        <translation>Bluetooth not available in this build</translation>
    </message>
</context>
<context>
    <name>TIdade</name>
    <message>
        <source>data de nascimento não informada</source>
        <translation>birth date not entered</translation>
    </message>
    <message>
        <source>data de nascimento &quot;%1&quot; ilegível (dd/mm/aaaa)</source>
        <translation>birth date &quot;%1&quot; unreadable (dd/mm/yyyy)</translation>
    </message>
    <message>
        <source>data do teste desconhecida</source>
        <translation>test date unknown</translation>
    </message>
    <message>
        <source>data de nascimento posterior à do teste</source>
        <translation>birth date after the test&apos;s date</translation>
    </message>
</context>
<context>
    <name>TRelatorioClinico</name>
    <message>
        <source>não disponível (%1)</source>
        <translation>not available (%1)</translation>
    </message>
    <message>
        <source>baixo</source>
        <translation>low</translation>
    </message>
    <message>
        <source>alto</source>
        <translation>high</translation>
    </message>
    <message>
        <source>moderado</source>
        <translation>moderate</translation>
    </message>
    <message>
        <source>sim</source>
        <translation>yes</translation>
    </message>
    <message>
        <source>não</source>
        <translation>no</translation>
    </message>
    <message>
        <source>Recuperação da FC em 1, 2 e 3 min</source>
        <translation>Heart-rate recovery at 1, 2 and 3 min</translation>
    </message>
    <message>
        <source>%1 min: %2</source>
        <translation>%1 min: %2</translation>
    </message>
    <message>
        <source> (baixa em 1 min)</source>
        <translation> (low at 1 min)</translation>
    </message>
    <message>
        <source> (não disponível em %1)</source>
        <translation> (not available at %1)</translation>
    </message>
    <message>
        <source>Tempo de exercício</source>
        <translation>Exercise time</translation>
    </message>
    <message>
        <source>METs de pico</source>
        <translation>Peak METs</translation>
    </message>
    <message>
        <source>VO2máx estimado</source>
        <translation>Estimated VO2max</translation>
    </message>
    <message>
        <source>Escore de Duke</source>
        <translation>Duke treadmill score</translation>
    </message>
    <message>
        <source>não informado (%1)</source>
        <translation>not entered (%1)</translation>
    </message>
    <message>
        <source>%1 (risco %2)</source>
        <translation>%1 (%2 risk)</translation>
    </message>
    <message>
        <source>220 - idade</source>
        <translation>220 - age</translation>
    </message>
    <message>
        <source>FC máxima prevista</source>
        <translation>Predicted maximum heart rate</translation>
    </message>
    <message>
        <source>FC de pico</source>
        <translation>Peak heart rate</translation>
    </message>
    <message>
        <source> (%1 % da prevista)</source>
        <translation> (%1 % of predicted)</translation>
    </message>
    <message>
        <source>FC alvo (%1 %)</source>
        <translation>Target heart rate (%1 %)</translation>
    </message>
    <message>
        <source>%1, atingida</source>
        <translation>%1, reached</translation>
    </message>
    <message>
        <source>%1, não atingida</source>
        <translation>%1, not reached</translation>
    </message>
    <message>
        <source>Índice cronotrópico</source>
        <translation>Chronotropic index</translation>
    </message>
    <message>
        <source> (baixo)</source>
        <translation> (low)</translation>
    </message>
    <message>
        <source>FC %1 bpm</source>
        <translation>HR %1 bpm</translation>
    </message>
    <message>
        <source>PA %1/%2 mmHg</source>
        <translation>BP %1/%2 mmHg</translation>
    </message>
    <message>
        <source>Repouso</source>
        <translation>Resting</translation>
    </message>
    <message>
        <source>não informado</source>
        <translation>not entered</translation>
    </message>
    <message>
        <source>Duplo produto de pico</source>
        <translation>Peak rate-pressure product</translation>
    </message>
    <message>
        <source>PAS abaixo da de repouso no exercício</source>
        <translation>Systolic BP below resting during exercise</translation>
    </message>
    <message>
        <source>Aumento da PAS menor que 20 mmHg</source>
        <translation>Systolic BP rise under 20 mmHg</translation>
    </message>
    <message>
        <source>Resposta hipertensiva</source>
        <translation>Hypertensive response</translation>
    </message>
</context>
<context>
    <name>TSituacaoCardiaca</name>
    <message>
        <source>sem sinal</source>
        <translation>no signal</translation>
    </message>
    <message>
        <source>sinal recebido</source>
        <translation>signal received</translation>
    </message>
    <message>
        <source>sinal restabelecido</source>
        <translation>signal restored</translation>
    </message>
    <message>
        <source>cinta conectada</source>
        <translation>strap connected</translation>
    </message>
    <message>
        <source>cinta reconectada</source>
        <translation>strap reconnected</translation>
    </message>
    <message>
        <source>conexão com a cinta perdida</source>
        <translation>connection to the strap lost</translation>
    </message>
    <message>
        <source>cinta não encontrada ou recusou a conexão (vista-a para acordá-la): nova tentativa a cada %1 s</source>
        <translation>strap not found or it refused the connection (put it on to wake it): trying again every %1 s</translation>
    </message>
    <message>
        <source>bateria da cinta: %1 %</source>
        <translation>strap battery: %1 %</translation>
    </message>
    <message>
        <source>fim do traço</source>
        <translation>end of the trace</translation>
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
    <name>TTracoCardiaco</name>
    <message>
        <source>linha %1: %2 &quot;%3&quot; não é um número</source>
        <translation>line %1: %2 &quot;%3&quot; is not a number</translation>
    </message>
    <message>
        <source>arquivo vazio</source>
        <translation>empty file</translation>
    </message>
    <message>
        <source>linha 1: cabeçalho &quot;%1&quot;; deve ser &quot;tempo_s,fc&quot; ou &quot;tempo_s,fc,rr_ms&quot;</source>
        <translation>line 1: header &quot;%1&quot;; it must be &quot;tempo_s,fc&quot; or &quot;tempo_s,fc,rr_ms&quot;</translation>
    </message>
    <message>
        <source>nenhuma leitura depois do cabeçalho</source>
        <translation>no reading after the header</translation>
    </message>
    <message>
        <source>linha %1: vazia</source>
        <translation>line %1: empty</translation>
    </message>
    <message>
        <source>linha %1: %2 campos; o cabeçalho tem %3</source>
        <translation>line %1: %2 fields; the header has %3</translation>
    </message>
    <message>
        <source>linha %1: tempo_s %2 fora da faixa (-86400 a 86400)</source>
        <translation>line %1: tempo_s %2 out of range (-86400 to 86400)</translation>
    </message>
    <message>
        <source>linha %1: tempo_s %2 anterior ao da linha %3</source>
        <translation>line %1: tempo_s %2 earlier than line %3&apos;s</translation>
    </message>
    <message>
        <source>linha %1: fc %2 fora da faixa (1 a %3 bpm)</source>
        <translation>line %1: fc %2 out of range (1 to %3 bpm)</translation>
    </message>
    <message>
        <source>linha %1: rr_ms %2 fora da faixa (maior que 0 e até %3)</source>
        <translation>line %1: rr_ms %2 out of range (above 0 and up to %3)</translation>
    </message>
    <message>
        <source>%1: não foi possível abrir (%2)</source>
        <translation>%1: could not be opened (%2)</translation>
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
    <message>
        <source>Comanda uma placa simulada (iniciada na porta escolhida ao conectar).</source>
        <translation>Drive a simulated board (started on the port chosen at connect time).</translation>
    </message>
    <message>
        <source>Registra cada quadro enviado e recebido.</source>
        <translation>Trace every frame sent and received.</translation>
    </message>
</context>
</TS>
