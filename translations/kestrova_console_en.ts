<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="pt_BR">
<context>
    <name>TAcompanhamentoClinico</name>
    <message>
        <source>%1 % da máx.</source>
        <translation>%1 % of max.</translation>
    </message>
</context>
<context>
    <name>TEscolhaCinta</name>
    <message>
        <source>Cinta</source>
        <translation>Strap</translation>
    </message>
    <message>
        <source>Frequência cardíaca</source>
        <translation>Heart rate</translation>
    </message>
    <message>
        <source>Procurar</source>
        <translation>Search</translation>
    </message>
    <message>
        <source>Procura cintas Bluetooth por 10 s</source>
        <translation>Searches for Bluetooth straps for 10 s</translation>
    </message>
    <message>
        <source>Nenhuma (frequência digitada)</source>
        <translation>None (heart rate typed in)</translation>
    </message>
    <message>
        <source>Procurando cintas...</source>
        <translation>Searching for straps...</translation>
    </message>
    <message>
        <source>Nenhuma cinta encontrada.</source>
        <translation>No strap found.</translation>
    </message>
    <message>
        <source>%1 cinta(s) encontrada(s).</source>
        <translation>%1 strap(s) found.</translation>
    </message>
    <message>
        <source>Traço gravado: %1</source>
        <translation>Recorded trace: %1</translation>
    </message>
    <message>
        <source>Bateria da cinta: %1 %</source>
        <translation>Strap battery: %1 %</translation>
    </message>
</context>
<context>
    <name>TGraficoPrevia</name>
    <message>
        <source>Sem prévia: corrija os campos marcados.</source>
        <translation>No preview: correct the marked fields.</translation>
    </message>
</context>
<context>
    <name>TMonitorCardiaco</name>
    <message>
        <source>Frequência cardíaca (%1): %2</source>
        <translation>Heart rate (%1): %2</translation>
    </message>
</context>
<context>
    <name>TPainelEntradas</name>
    <message>
        <source>%1: de %2 a %3%4</source>
        <translation>%1: from %2 to %3%4</translation>
    </message>
    <message>
        <source>Registros</source>
        <translation>Readings</translation>
    </message>
    <message>
        <source>sistólica</source>
        <translation>systolic</translation>
    </message>
    <message>
        <source>diastólica</source>
        <translation>diastolic</translation>
    </message>
    <message>
        <source>6 a 20</source>
        <translation>6 to 20</translation>
    </message>
    <message>
        <source>Comentário</source>
        <translation>Comment</translation>
    </message>
    <message>
        <source>FC:</source>
        <translation>HR:</translation>
    </message>
    <message>
        <source>PA:</source>
        <translation>BP:</translation>
    </message>
    <message>
        <source>Borg:</source>
        <translation>Borg:</translation>
    </message>
    <message>
        <source>0 a 4</source>
        <translation>0 to 4</translation>
    </message>
    <message>
        <source>mm, o maior desvio lido no ECG</source>
        <translation>mm, the largest deviation read on the ECG</translation>
    </message>
    <message>
        <source>Angina:</source>
        <translation>Angina:</translation>
    </message>
    <message>
        <source>ST:</source>
        <translation>ST:</translation>
    </message>
    <message>
        <source>(não informado)</source>
        <translation>(not given)</translation>
    </message>
    <message>
        <source>Motivo da interrupção:</source>
        <translation>Reason for stopping:</translation>
    </message>
    <message>
        <source>Comentários do relatório</source>
        <translation>Report comments</translation>
    </message>
    <message>
        <source>Registrar</source>
        <translation>Record</translation>
    </message>
    <message>
        <source>Sistólica</source>
        <translation>Systolic</translation>
    </message>
    <message>
        <source>Diastólica</source>
        <translation>Diastolic</translation>
    </message>
    <message>
        <source>Desvio de ST: de 0 a %1 mm, uma casa decimal</source>
        <translation>ST deviation: from 0 to %1 mm, one decimal place</translation>
    </message>
    <message>
        <source>A diastólica deve ser menor que a sistólica</source>
        <translation>The diastolic must be lower than the systolic</translation>
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
        <source>Borg %1</source>
        <translation>Borg %1</translation>
    </message>
    <message>
        <source>Angina %1/%2</source>
        <translation>Angina %1/%2</translation>
    </message>
    <message>
        <source>Desvio de ST %1 mm</source>
        <translation>ST deviation %1 mm</translation>
    </message>
    <message>
        <source>%1 (repouso)</source>
        <translation>%1 (resting)</translation>
    </message>
</context>
<context>
    <name>TPainelPaciente</name>
    <message>
        <source>Nascimento: use dd/mm/aaaa, como 12/03/1971.</source>
        <translation>Date of birth: use dd/mm/yyyy, such as 12/03/1971.</translation>
    </message>
    <message>
        <source>Nascimento: %1 não é uma data válida.</source>
        <translation>Date of birth: %1 is not a valid date.</translation>
    </message>
    <message>
        <source>Nascimento: a data está no futuro.</source>
        <translation>Date of birth: the date is in the future.</translation>
    </message>
    <message>
        <source>Nascimento: idade acima de %1 anos; confira o ano.</source>
        <translation>Date of birth: age over %1 years; check the year.</translation>
    </message>
    <message>
        <source>Peso: informe os quilos, de 10 a 350, como 72,5.</source>
        <translation>Weight: give the kilograms, from 10 to 350, such as 72,5.</translation>
    </message>
    <message>
        <source>Altura: informe os centímetros, de 50 a 250, como 175.</source>
        <translation>Height: give the centimetres, from 50 to 250, such as 175.</translation>
    </message>
    <message>
        <source>Altura: informe em centímetros, como 175 (não em metros).</source>
        <translation>Height: give it in centimetres, such as 175 (not in metres).</translation>
    </message>
    <message>
        <source>Altura: %1 cm fora da faixa de 50 a 250 cm.</source>
        <translation>Height: %1 cm is outside the range of 50 to 250 cm.</translation>
    </message>
    <message>
        <source>dd/mm/aaaa</source>
        <translation>dd/mm/yyyy</translation>
    </message>
    <message>
        <source>kg, como 72,5</source>
        <translation>kg, such as 72,5</translation>
    </message>
    <message>
        <source>cm, como 175</source>
        <translation>cm, such as 175</translation>
    </message>
    <message>
        <source>Paciente</source>
        <translation>Patient</translation>
    </message>
    <message>
        <source>Feminino</source>
        <translation>Female</translation>
    </message>
    <message>
        <source>Masculino</source>
        <translation>Male</translation>
    </message>
    <message>
        <source>O texto não cabe no campo do relatório.</source>
        <translation>The text does not fit in the report field.</translation>
    </message>
    <message>
        <source>Usa betabloqueador</source>
        <translation>Takes a beta blocker</translation>
    </message>
    <message>
        <source>Pacientes...</source>
        <translation>Patients...</translation>
    </message>
    <message>
        <source>Novo paciente</source>
        <translation>New patient</translation>
    </message>
    <message>
        <source>Informe o nome do paciente.</source>
        <translation>Enter the patient&apos;s name.</translation>
    </message>
    <message>
        <source>Sexo: escolha Feminino ou Masculino (&quot;%1&quot; não é um deles).</source>
        <translation>Sex: choose Female or Male (&quot;%1&quot; is neither).</translation>
    </message>
    <message>
        <source>Novo paciente: cadastrado ao iniciar o teste.</source>
        <translation>New patient: registered when the test starts.</translation>
    </message>
    <message>
        <source>Paciente cadastrado nº %1</source>
        <translation>Registered patient no. %1</translation>
    </message>
    <message>
        <source>, alterado: o cadastro será atualizado ao iniciar o teste.</source>
        <translation>, changed: the record will be updated when the test starts.</translation>
    </message>
</context>
<context>
    <name>TPainelProtocolo</name>
    <message>
        <source>Protocolo</source>
        <translation>Protocol</translation>
    </message>
    <message>
        <source>Importar...</source>
        <translation>Import...</translation>
    </message>
    <message>
        <source>Fase</source>
        <translation>Phase</translation>
    </message>
    <message>
        <source>Estágio</source>
        <translation>Stage</translation>
    </message>
    <message>
        <source>Duração</source>
        <translation>Duration</translation>
    </message>
    <message>
        <source>Velocidade</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>Inclinação</source>
        <translation>Incline</translation>
    </message>
    <message>
        <source>Início:</source>
        <translation>Start:</translation>
    </message>
    <message>
        <source>Pico:</source>
        <translation>Peak:</translation>
    </message>
    <message>
        <source>Duração da rampa:</source>
        <translation>Ramp duration:</translation>
    </message>
    <message>
        <source>Aceitar limitação à faixa da esteira</source>
        <translation>Accept limiting to the treadmill&apos;s range</translation>
    </message>
    <message>
        <source>Velocidade máxima:</source>
        <translation>Maximum speed:</translation>
    </message>
    <message>
        <source>Inclinação máxima:</source>
        <translation>Maximum incline:</translation>
    </message>
    <message>
        <source>Recuperação:</source>
        <translation>Recovery:</translation>
    </message>
    <message>
        <source> (arquivo)</source>
        <translation> (file)</translation>
    </message>
    <message>
        <source>Rampa individualizada</source>
        <translation>Individualized ramp</translation>
    </message>
    <message>
        <source>Não foi possível gerar a rampa.</source>
        <translation>The ramp could not be generated.</translation>
    </message>
    <message>
        <source>Escolha um protocolo.</source>
        <translation>Choose a protocol.</translation>
    </message>
    <message>
        <source>Importar protocolo</source>
        <translation>Import protocol</translation>
    </message>
    <message>
        <source>Protocolos (*.json);;Todos os arquivos (*)</source>
        <translation>Protocols (*.json);;All files (*)</translation>
    </message>
</context>
<context>
    <name>TfrmConfiguracoes</name>
    <message>
        <source>Configurações</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source> % da máxima prevista</source>
        <translation> % of predicted maximum</translation>
    </message>
    <message>
        <source>Escolher...</source>
        <translation>Choose...</translation>
    </message>
    <message>
        <source>Logotipo do laboratório</source>
        <translation>Laboratory&apos;s logo</translation>
    </message>
    <message>
        <source>Imagens (*.png *.jpg *.jpeg *.bmp)</source>
        <translation>Images (*.png *.jpg *.jpeg *.bmp)</translation>
    </message>
    <message>
        <source>FC máxima prevista:</source>
        <translation>Predicted maximum HR:</translation>
    </message>
    <message>
        <source>FC alvo:</source>
        <translation>Target HR:</translation>
    </message>
    <message>
        <source>Unidade de velocidade:</source>
        <translation>Speed unit:</translation>
    </message>
    <message>
        <source>Laboratório:</source>
        <translation>Laboratory:</translation>
    </message>
    <message>
        <source>Endereço:</source>
        <translation>Address:</translation>
    </message>
    <message>
        <source>Logotipo:</source>
        <translation>Logo:</translation>
    </message>
    <message>
        <source>Não foi possível guardar as configurações.</source>
        <translation>The settings could not be saved.</translation>
    </message>
</context>
<context>
    <name>TfrmConsole</name>
    <message>
        <source>A esteira não confirmou a parada: o programa continua enviando a parada a cada segundo. Verifique a esteira antes de fechar.</source>
        <translation>The treadmill did not confirm the stop: the program keeps sending the stop every second. Check the treadmill before closing.</translation>
    </message>
    <message>
        <source>Teste de esforço</source>
        <translation>Exercise test</translation>
    </message>
    <message>
        <source>Porta:</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>Banco de sessões não disponível</source>
        <translation>Session database not available</translation>
    </message>
    <message>
        <source>Banco de sessões: %1 (estação %2)</source>
        <translation>Session database: %1 (station %2)</translation>
    </message>
    <message>
        <source>Banco de sessões: %1</source>
        <translation>Session database: %1</translation>
    </message>
    <message>
        <source>Não foi possível guardar a escolha da cinta.</source>
        <translation>The strap choice could not be saved.</translation>
    </message>
    <message>
        <source>Início em %1</source>
        <translation>Starting in %1</translation>
    </message>
    <message>
        <source>%1, estágio %2</source>
        <translation>%1, stage %2</translation>
    </message>
    <message>
        <source>Tempo total</source>
        <translation>Total time</translation>
    </message>
    <message>
        <source>Situação</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>No estágio</source>
        <translation>In stage</translation>
    </message>
    <message>
        <source>Próximo estágio em</source>
        <translation>Next stage in</translation>
    </message>
    <message>
        <source>Fase e estágio</source>
        <translation>Phase and stage</translation>
    </message>
    <message>
        <source>Alvo</source>
        <translation>Target</translation>
    </message>
    <message>
        <source>Frequência cardíaca</source>
        <translation>Heart rate</translation>
    </message>
    <message>
        <source>Carga</source>
        <translation>Workload</translation>
    </message>
    <message>
        <source>Esteira</source>
        <translation>Treadmill</translation>
    </message>
    <message>
        <source>Iniciar</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Pausar</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Próximo estágio</source>
        <translation>Next stage</translation>
    </message>
    <message>
        <source>Recuperação</source>
        <translation>Recovery</translation>
    </message>
    <message>
        <source>Encerrar teste</source>
        <translation>End test</translation>
    </message>
    <message>
        <source>Fecha os registros do teste (depois da parada, os registros da recuperação continuam abertos)</source>
        <translation>Closes the test&apos;s records (after the stop, the recovery records stay open)</translation>
    </message>
    <message>
        <source>Velocidade −</source>
        <translation>Speed −</translation>
    </message>
    <message>
        <source>Velocidade +</source>
        <translation>Speed +</translation>
    </message>
    <message>
        <source>Inclinação −</source>
        <translation>Incline −</translation>
    </message>
    <message>
        <source>Inclinação +</source>
        <translation>Incline +</translation>
    </message>
    <message>
        <source>PARAR</source>
        <translation>STOP</translation>
    </message>
    <message>
        <source>Para a esteira (Espaço ou Esc)</source>
        <translation>Stops the treadmill (Space or Esc)</translation>
    </message>
    <message>
        <source>&amp;Arquivo</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>&amp;Sessões...</source>
        <translation>&amp;Sessions...</translation>
    </message>
    <message>
        <source>&amp;Pacientes...</source>
        <translation>&amp;Patients...</translation>
    </message>
    <message>
        <source>&amp;Relatório do último teste...</source>
        <translation>&amp;Report of the last test...</translation>
    </message>
    <message>
        <source>Nenhum teste foi feito nesta execução.</source>
        <translation>No test has been run in this session of the program.</translation>
    </message>
    <message>
        <source>Salvar relatório</source>
        <translation>Save report</translation>
    </message>
    <message>
        <source>PDF (*.pdf)</source>
        <translation>PDF (*.pdf)</translation>
    </message>
    <message>
        <source>&amp;Imprimir relatório do último teste</source>
        <translation>&amp;Print report of the last test</translation>
    </message>
    <message>
        <source>Resultados do último &amp;teste</source>
        <translation>Results of the last &amp;test</translation>
    </message>
    <message>
        <source>&amp;Configurações...</source>
        <translation>Se&amp;ttings...</translation>
    </message>
    <message>
        <source>Sai&amp;r</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>P&amp;rotocolos</source>
        <translation>P&amp;rotocols</translation>
    </message>
    <message>
        <source>&amp;Editor...</source>
        <translation>&amp;Editor...</translation>
    </message>
    <message>
        <source>&amp;Idioma</source>
        <translation>&amp;Language</translation>
    </message>
    <message>
        <source>Não foi possível gravar a escolha do idioma.</source>
        <translation>The language choice could not be saved.</translation>
    </message>
    <message>
        <source>PORTA PERDIDA: contagem cancelada, nada foi enviado; tentando reabrir %1 a cada segundo</source>
        <translation>PORT LOST: countdown cancelled, nothing was sent; trying to reopen %1 every second</translation>
    </message>
    <message>
        <source>PORTA PERDIDA: protocolo em espera; tentando reabrir %1 a cada segundo</source>
        <translation>PORT LOST: protocol on hold; trying to reopen %1 every second</translation>
    </message>
    <message>
        <source>Porta reaberta: nada foi enviado; pressione Retomar para continuar ou PARAR</source>
        <translation>Port reopened: nothing was sent; press Resume to continue or STOP</translation>
    </message>
    <message>
        <source>Porta reaberta</source>
        <translation>Port reopened</translation>
    </message>
    <message>
        <source>ATENÇÃO: %1</source>
        <translation>WARNING: %1</translation>
    </message>
    <message>
        <source>ATENÇÃO: </source>
        <translation>WARNING: </translation>
    </message>
    <message>
        <source>O banco de sessões não abriu; o teste não seria gravado. Feche a outra janela de Teste de esforço que o usa, ou veja a permissão de escrita da pasta, e abra o programa de novo.
Arquivo: %1</source>
        <translation>The session database did not open; the test would not be recorded. Close the other Exercise test window using it, or check the folder&apos;s write permission, and open the program again.
File: %1</translation>
    </message>
    <message>
        <source>Gravação retomada.</source>
        <translation>Recording resumed.</translation>
    </message>
    <message>
        <source>Servidor de sessões indisponível: gravando localmente; %1 registros aguardando</source>
        <translation>Session server unavailable: recording locally; %1 records waiting</translation>
    </message>
    <message>
        <source>Servidor de sessões de volta: registros enviados.</source>
        <translation>Session server back: records sent.</translation>
    </message>
    <message>
        <source>Gravando o teste %1 em %2</source>
        <translation>Recording test %1 in %2</translation>
    </message>
    <message>
        <source>Repouso: %1</source>
        <translation>Rest: %1</translation>
    </message>
    <message>
        <source> (o teste continua na esteira)</source>
        <translation> (the test goes on on the treadmill)</translation>
    </message>
    <message>
        <source>Parada confirmada pela esteira.</source>
        <translation>Stop confirmed by the treadmill.</translation>
    </message>
    <message>
        <source>Conectada: %1, %2</source>
        <translation>Connected: %1, %2</translation>
    </message>
    <message>
        <source>SEM COMUNICAÇÃO</source>
        <translation>NO COMMUNICATION</translation>
    </message>
    <message>
        <source>SEM COMUNICAÇÃO: protocolo em espera</source>
        <translation>NO COMMUNICATION: protocol on hold</translation>
    </message>
    <message>
        <source>Motivo da interrupção</source>
        <translation>Reason for stopping</translation>
    </message>
    <message>
        <source>Por que o teste foi interrompido?</source>
        <translation>Why was the test stopped?</translation>
    </message>
    <message>
        <source>Registrar</source>
        <translation>Record</translation>
    </message>
    <message>
        <source>Pular</source>
        <translation>Skip</translation>
    </message>
    <message>
        <source>Teste %1 encerrado.</source>
        <translation>Test %1 ended.</translation>
    </message>
    <message>
        <source>Servidor de sessões indisponível: o fim do teste %1 será gravado quando ele responder.</source>
        <translation>Session server unavailable: the end of test %1 will be recorded when it answers.</translation>
    </message>
    <message>
        <source>Teste %1 gravado.</source>
        <translation>Test %1 recorded.</translation>
    </message>
    <message>
        <source>Cancelar</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Retomar</source>
        <translation>Resume</translation>
    </message>
    <message>
        <source>A esteira ainda não confirmou a parada e pode estar em movimento. Fechar mesmo assim?</source>
        <translation>The treadmill has not confirmed the stop yet and may be moving. Close anyway?</translation>
    </message>
    <message>
        <source>Um teste está em andamento. Parar a esteira e fechar?</source>
        <translation>A test is running. Stop the treadmill and close?</translation>
    </message>
    <message>
        <source>Não foi possível imprimir o relatório: %1</source>
        <translation>The report could not be printed: %1</translation>
    </message>
</context>
<context>
    <name>TfrmEditorProtocolos</name>
    <message>
        <source>Editor de protocolos</source>
        <translation>Protocol editor</translation>
    </message>
    <message>
        <source>&amp;Salvar</source>
        <translation>&amp;Save</translation>
    </message>
    <message>
        <source>&amp;Fechar</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>Protocolos:</source>
        <translation>Protocols:</translation>
    </message>
    <message>
        <source>Novo...</source>
        <translation>New...</translation>
    </message>
    <message>
        <source>Duplicar...</source>
        <translation>Duplicate...</translation>
    </message>
    <message>
        <source>Renomear...</source>
        <translation>Rename...</translation>
    </message>
    <message>
        <source>Excluir</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Importar...</source>
        <translation>Import...</translation>
    </message>
    <message>
        <source>Exportar...</source>
        <translation>Export...</translation>
    </message>
    <message>
        <source>Nome:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>Descrição:</source>
        <translation>Description:</translation>
    </message>
    <message>
        <source>Fonte:</source>
        <translation>Source:</translation>
    </message>
    <message>
        <source>Arquivo:</source>
        <translation>File:</translation>
    </message>
    <message>
        <source>+ Estágio</source>
        <translation>+ Stage</translation>
    </message>
    <message>
        <source>+ Rampa</source>
        <translation>+ Ramp</translation>
    </message>
    <message>
        <source>Remover</source>
        <translation>Remove</translation>
    </message>
    <message>
        <source>Copiar</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Subir</source>
        <translation>Move up</translation>
    </message>
    <message>
        <source>Descer</source>
        <translation>Move down</translation>
    </message>
    <message>
        <source>Desfazer</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>Refazer</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>Tipo</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>Duração (min:s)</source>
        <translation>Duration (min:s)</translation>
    </message>
    <message>
        <source>Velocidade (%1)</source>
        <translation>Speed (%1)</translation>
    </message>
    <message>
        <source>Inclinação (%)</source>
        <translation>Incline (%)</translation>
    </message>
    <message>
        <source>Vel. final (%1)</source>
        <translation>Final speed (%1)</translation>
    </message>
    <message>
        <source>Incl. final (%)</source>
        <translation>Final incl. (%)</translation>
    </message>
    <message>
        <source> (embutido)</source>
        <translation> (built-in)</translation>
    </message>
    <message>
        <source>Somente leitura: use Duplicar</source>
        <translation>Read-only: use Duplicate</translation>
    </message>
    <message>
        <source>Há uma edição não salva de &quot;%1&quot; (o programa foi fechado antes de salvar). Recuperá-la?</source>
        <translation>There is an unsaved edit of &quot;%1&quot; (the program was closed before saving). Recover it?</translation>
    </message>
    <message>
        <source>protocolo embutido (somente leitura; use Duplicar)</source>
        <translation>built-in protocol (read-only; use Duplicate)</translation>
    </message>
    <message>
        <source>Não pode ser salvo:
</source>
        <translation>Cannot be saved:
</translation>
    </message>
    <message>
        <source>Sem prévia enquanto houver campos com problema.</source>
        <translation>No preview while some fields have problems.</translation>
    </message>
    <message>
        <source>Duração total: %1    Pico: %2 %3, %4 %    METs no pico: %5</source>
        <translation>Total duration: %1    Peak: %2 %3, %4 %    METs at peak: %5</translation>
    </message>
    <message>
        <source>A esteira não aceita estes valores como estão; o teste só roda com &quot;Aceitar limitação à faixa da esteira&quot;:
</source>
        <translation>The treadmill does not accept these values as they are; the test runs only with &quot;Accept limiting to the treadmill&apos;s range&quot;:
</translation>
    </message>
    <message>
        <source>&lt;b&gt;Prévia: o que a esteira receberá&lt;/b&gt;</source>
        <translation>&lt;b&gt;Preview: what the treadmill will receive&lt;/b&gt;</translation>
    </message>
    <message>
        <source>Est.</source>
        <translation>Stg.</translation>
    </message>
    <message>
        <source>Início</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Duração</source>
        <translation>Duration</translation>
    </message>
    <message>
        <source>Editor de protocolos - %1%2</source>
        <translation>Protocol editor - %1%2</translation>
    </message>
    <message>
        <source>O protocolo não foi salvo: %1</source>
        <translation>The protocol was not saved: %1</translation>
    </message>
    <message>
        <source>Novo protocolo</source>
        <translation>New protocol</translation>
    </message>
    <message>
        <source>Nome do protocolo:</source>
        <translation>Protocol name:</translation>
    </message>
    <message>
        <source>Corrija os campos marcados antes de duplicar.</source>
        <translation>Correct the marked fields before duplicating.</translation>
    </message>
    <message>
        <source>%1 (cópia)</source>
        <translation>%1 (copy)</translation>
    </message>
    <message>
        <source>Duplicar protocolo</source>
        <translation>Duplicate protocol</translation>
    </message>
    <message>
        <source>Nome da cópia:</source>
        <translation>Name of the copy:</translation>
    </message>
    <message>
        <source>Renomear protocolo</source>
        <translation>Rename protocol</translation>
    </message>
    <message>
        <source>Novo nome (o arquivo acompanha o nome):</source>
        <translation>New name (the file follows the name):</translation>
    </message>
    <message>
        <source>Excluir o protocolo &quot;%1&quot;?
Os testes já gravados com ele continuam com o nome e os passos que usaram.</source>
        <translation>Delete the protocol &quot;%1&quot;?
The tests already recorded with it keep the name and the steps they used.</translation>
    </message>
    <message>
        <source>Importar protocolo</source>
        <translation>Import protocol</translation>
    </message>
    <message>
        <source>Protocolos (*.json)</source>
        <translation>Protocols (*.json)</translation>
    </message>
    <message>
        <source>Já existe o protocolo &quot;%1&quot;. Substituí-lo?</source>
        <translation>The protocol &quot;%1&quot; already exists. Replace it?</translation>
    </message>
    <message>
        <source>Exportar protocolo</source>
        <translation>Export protocol</translation>
    </message>
    <message>
        <source>Estágio</source>
        <translation>Stage</translation>
    </message>
    <message>
        <source>Rampa</source>
        <translation>Ramp</translation>
    </message>
</context>
<context>
    <name>TfrmPacientes</name>
    <message>
        <source>Feminino</source>
        <translation>Female</translation>
    </message>
    <message>
        <source>Masculino</source>
        <translation>Male</translation>
    </message>
    <message>
        <source>Pacientes</source>
        <translation>Patients</translation>
    </message>
    <message>
        <source>parte do nome ou da identificação</source>
        <translation>part of the name or the identifier</translation>
    </message>
    <message>
        <source>&amp;Buscar:</source>
        <translation>&amp;Search:</translation>
    </message>
    <message>
        <source>Nome</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Identificação</source>
        <translation>Identifier</translation>
    </message>
    <message>
        <source>Nascimento</source>
        <translation>Date of birth</translation>
    </message>
    <message>
        <source>Sexo</source>
        <translation>Sex</translation>
    </message>
    <message>
        <source>Último teste</source>
        <translation>Last test</translation>
    </message>
    <message>
        <source>Testes</source>
        <translation>Tests</translation>
    </message>
    <message>
        <source>Nº</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>Data</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>Protocolo</source>
        <translation>Protocol</translation>
    </message>
    <message>
        <source>Duração</source>
        <translation>Duration</translation>
    </message>
    <message>
        <source>Situação</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Motivo da parada</source>
        <translation>Reason for stopping</translation>
    </message>
    <message>
        <source>Clique duas vezes para ver o teste nas sessões gravadas</source>
        <translation>Double-click to see the test in the recorded sessions</translation>
    </message>
    <message>
        <source>&amp;Usar este paciente</source>
        <translation>&amp;Use this patient</translation>
    </message>
    <message>
        <source>&amp;Novo paciente</source>
        <translation>&amp;New patient</translation>
    </message>
    <message>
        <source>Fechar</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>1 paciente</source>
        <translation>1 patient</translation>
    </message>
    <message>
        <source>%1 pacientes</source>
        <translation>%1 patients</translation>
    </message>
    <message>
        <source>Nenhum paciente encontrado.</source>
        <translation>No patient found.</translation>
    </message>
    <message>
        <source>Testes anteriores de %1: %2</source>
        <translation>Previous tests of %1: %2</translation>
    </message>
</context>
<context>
    <name>TfrmResultados</name>
    <message>
        <source>Resultado</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>Valor</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>Resultados do teste %1 — %2</source>
        <translation>Results of test %1 — %2</translation>
    </message>
    <message>
        <source>Aviso</source>
        <translation>Warning</translation>
    </message>
</context>
<context>
    <name>TfrmSessoes</name>
    <message>
        <source>Sessões gravadas</source>
        <translation>Recorded sessions</translation>
    </message>
    <message>
        <source>Buscar por paciente, identificador, protocolo ou data</source>
        <translation>Search by patient, identifier, protocol or date</translation>
    </message>
    <message>
        <source>Atualizar</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>Estação:</source>
        <translation>Station:</translation>
    </message>
    <message>
        <source>Relatório em PDF...</source>
        <translation>PDF report...</translation>
    </message>
    <message>
        <source>Imprimir relatório</source>
        <translation>Print report</translation>
    </message>
    <message>
        <source>Exportar CSV...</source>
        <translation>Export CSV...</translation>
    </message>
    <message>
        <source>Separador decimal do sistema</source>
        <translation>System&apos;s decimal separator</translation>
    </message>
    <message>
        <source>Fechar</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Salvar relatório</source>
        <translation>Save report</translation>
    </message>
    <message>
        <source>PDF (*.pdf)</source>
        <translation>PDF (*.pdf)</translation>
    </message>
    <message>
        <source>Exportar CSV</source>
        <translation>Export CSV</translation>
    </message>
    <message>
        <source>CSV (*.csv)</source>
        <translation>CSV (*.csv)</translation>
    </message>
    <message>
        <source>Todas</source>
        <translation>All</translation>
    </message>
    <message>
        <source>%1 de %2 sessões</source>
        <translation>%1 of %2 sessions</translation>
    </message>
    <message>
        <source>%1 — %2, %3. Motivo: %4</source>
        <translation>%1 — %2, %3. Reason: %4</translation>
    </message>
</context>
<context>
    <name>orvanta-teste</name>
    <message>
        <source>Console de teste de esforço na esteira Orvanta Kestrova.</source>
        <translation>Exercise-test console for the Orvanta Kestrova treadmill.</translation>
    </message>
    <message>
        <source>O simulador da esteira não existe nesta plataforma.</source>
        <translation>The treadmill simulator does not exist on this platform.</translation>
    </message>
    <message>
        <source>--time-scale: um número entre 0 e 1000.</source>
        <translation>--time-scale: a number between 0 and 1000.</translation>
    </message>
    <message>
        <source>%1 teste(s) interrompido(s) foram encontrados e marcados como interrompidos.</source>
        <translation>%1 interrupted test(s) were found and marked as interrupted.</translation>
    </message>
    <message>
        <source>protocolo desconhecido: %1</source>
        <translation>unknown protocol: %1</translation>
    </message>
    <message>
        <source>Comanda uma placa simulada (iniciada na porta escolhida para o teste).</source>
        <translation>Drive a simulated board (started on the port chosen for the test).</translation>
    </message>
    <message>
        <source>Registra cada quadro enviado e recebido.</source>
        <translation>Trace every frame sent and received.</translation>
    </message>
    <message>
        <source>Banco de sessões: um arquivo, ou o servidor PostgreSQL de um laboratório como postgresql://usuario@servidor:porta/banco (senha do ~/.pgpass ou de PGPASSWORD). Lembrado; na primeira vez: %1.</source>
        <translation>Session database: a file, or a lab&apos;s PostgreSQL server as postgresql://user@host:port/dbname (password from ~/.pgpass or PGPASSWORD). Remembered; the first time: %1.</translation>
    </message>
    <message>
        <source>O nome desta estação num banco compartilhado. Lembrado; na primeira vez: o nome do computador.</source>
        <translation>This station&apos;s name in a shared database. Remembered; the first time: the host name.</translation>
    </message>
    <message>
        <source>Faz o relógio do protocolo correr X vezes mais rápido (só com a placa simulada).</source>
        <translation>Run the protocol clock X times faster (simulated board only).</translation>
    </message>
    <message>
        <source>Reproduz em cada teste um traçado de frequência cardíaca gravado (CSV tempo_s,fc[,rr_ms]).</source>
        <translation>Replay a recorded heart-rate trace (CSV tempo_s,fc[,rr_ms]) in each test.</translation>
    </message>
    <message>
        <source>Inicia um teste de demonstração com este protocolo.</source>
        <translation>Start a demonstration test with this protocol.</translation>
    </message>
    <message>
        <source>aviso: --time-scale numa esteira real</source>
        <translation>warning: --time-scale on a real treadmill</translation>
    </message>
</context>
</TS>
